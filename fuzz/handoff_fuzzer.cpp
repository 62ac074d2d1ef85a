// Feeds bytes to the hand-off reader as a connection to the running copy delivers them: any bytes from any
// process of the user. Checks that a whole record says how many bytes it took (never more than it was
// given), that every shorter start of it reads as incomplete (the running copy waits for the rest rather
// than acting on half a command line), and that a record written from what was read reads back the same.
#include "FuzzCheck.h"

#include "platform/HandOffRecord.h"
#include "platform/NativeText.h"

#include <cstdint>

using quillon::fuzz::check;
using quillon::platform::HandOffRecord;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    HandOffRecord record;
    qsizetype length = -1;
    const HandOffRecord::Parse parse = HandOffRecord::decode(input, record, &length);
    if (parse != HandOffRecord::Parse::Whole) return 0;
    check(length > 0 && length <= input.size(), "a whole record took more bytes than it was given");
    HandOffRecord part;
    for (qsizetype cut = 0; cut < length; cut += 1 + cut / 16)
        check(HandOffRecord::decode(input.left(cut), part) != HandOffRecord::Parse::Whole,
              "a record cut short reads as whole");

    HandOffRecord again;
    const QByteArray written = record.encode();
    check(HandOffRecord::decode(written, again) == HandOffRecord::Parse::Whole,
          "a written record is refused");
    check(again.windowTitle == record.windowTitle && again.commandLine == record.commandLine &&
              quillon::platform::nativeBytes(again.file) == quillon::platform::nativeBytes(record.file),
          "a written record reads back otherwise", record.windowTitle);
    return 0;
}
