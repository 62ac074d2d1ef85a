#pragma once
// Writing systems for the finder, from ICU: the script a font system language is written in, the names a
// user reads for languages and scripts, and a short sample in a language or script (from the Unicode CLDR
// exemplar characters ICU carries), so that a face shown for a language draws letters it has rather than
// boxes.

#include <QString>

#include <optional>
#include <vector>

namespace quillon::find {

/// The script of a font system language tag ("vi", "zh-cn", "und-zsye") as a user reads its name ("Latin",
/// "Han (Simplified)", "Emoji"). `orthography`: the characters the font system asks of a face for the
/// language, whose own script decides where the tag alone would guess wrong ("ku-iq" is written in Arabic
/// letters, "ber-ma" in Tifinagh); the tag's likely script decides for the writing systems that mix scripts
/// (Japanese, Korean, Chinese).
QString scriptOf(const QString& tag, const std::vector<char32_t>& orthography);

/// The language's name in English ("Vietnamese", "Chinese (Taiwan)"); the tag itself when ICU has none.
QString languageName(const QString& tag);

/// A script's name as scriptOf gives it, for a name a user typed ("georgian", "Geor", "Devanagari");
/// nullopt for no script.
std::optional<QString> scriptNamed(const QString& name);

/// Up to `count` characters spread over the exemplar characters of language `tag`, or over `orthography`
/// (the font system's characters for it) where CLDR has none of the language's own script.
QString languageSample(const QString& tag, const QString& script, const std::vector<char32_t>& orthography,
                       int count = 14);
/// A sample of a script: that of the language ICU finds most likely for it; empty when it finds none.
QString scriptSample(const QString& script, int count = 14);

} // namespace quillon::find
