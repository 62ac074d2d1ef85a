// Feeds bytes to the .fon description reader the fonts key uses: whatever it reads is UTF-8 text
// without control characters, no longer than the description's own bytes allow.
#include "FuzzCheck.h"

#include "platform/linux/registry/FonDescription.h"

#include <QStringDecoder>

#include <cstdint>
#include <string>

using quillon::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text =
        quillon::platform::fonDescriptionFromBytes(std::string(reinterpret_cast<const char*>(data), size));
    // The description's length is one byte, and each of its bytes is at most two in UTF-8.
    check(text.size() <= 2 * 255, "a description longer than it can be");
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(QByteArray::fromStdString(text));
    check(!decoder.hasError(), "a description that is not UTF-8");
    for (const QChar c : decoded)
        check(c.unicode() >= 0x20 && c.unicode() != 0x7F, "a description with a control character");
    return 0;
}
