// Feeds bytes to the full-name reader the fonts key uses, for the first faces of a collection: whatever
// it reads is UTF-8 text no longer than the name table it came from could hold.
#include "FuzzCheck.h"

#include "platform/linux/registry/SfntFullName.h"

#include <QStringDecoder>

#include <cstdint>
#include <string>

using quillon::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (int face : {0, 1, -1}) {
        const std::string name = quillon::platform::windowsEnglishFullNameFromBytes(bytes, face);
        // Two bytes of UTF-16 are at most three of UTF-8 (a pair of surrogates, four bytes, makes four).
        check(name.size() <= size / 2 * 3, "a name longer than the file could hold");
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        (void)decoder.decode(QByteArray::fromStdString(name));
        check(!decoder.hasError(), "a name that is not UTF-8");
    }
    return 0;
}
