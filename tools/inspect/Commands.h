#pragma once
// The commands of quillon-inspect; each returns the process exit status.

#include "catalogue/FontCatalogue.h"
#include "platform/Platform.h"

#include <QStringList>

namespace quillon::inspect {

/// The face list and its records, built as the window builds them at start-up.
FontCatalogue buildCatalogue(platform::Platform& platform);
/// The same, with each listed name no installed face has drawn from the file its record names, as the
/// window draws it: for the commands that draw, measure or describe faces by their listed names.
FontCatalogue buildCatalogueAsDrawn(platform::Platform& platform);

int faces(platform::Platform& platform, const QStringList& args);
int records(platform::Platform& platform, const QStringList& args);

/// print FACE --pdf OUT [--copies N]: the sample page, one page per copy, into a PDF file.
int print(platform::Platform& platform, const QStringList& args);

/// book --pdf OUT [--text T] [--faces REGEX]: every listed face (or those matching REGEX) as a row in its own
/// face, sixteen rows a page, into a PDF file with an outline by first letter.
int book(platform::Platform& platform, const QStringList& args);

/// font FILE: every property of the font file reader, one Name<TAB>value line each.
int font(platform::Platform& platform, const QStringList& args);
/// details FACE: the details lines of a face, then Copyright<TAB>the label's text.
int details(platform::Platform& platform, const QStringList& args);

/// resolve FACE: the face the sample of FACE draws from, as File, Index, Family, Style and Substitute
/// lines; exit status 1 when no installed face has the name (the lines then name the substitute).
int resolve(platform::Platform& platform, const QStringList& args);

/// sizes FACE: the sizes the size list offers for a face, one per line.
int sizes(platform::Platform& platform, const QStringList& args);

/// info FACE|FILE [--text TEXT] [--json]: files, names, coverage, layout features, axes and licence of a
/// face.
int info(platform::Platform& platform, const QStringList& args);
/// names FILE: every name record of every face of the file, in words.
int names(platform::Platform& platform, const QStringList& args);
/// render FACE|FILE --text T [--size PT] [--features F] [--axes A] [--script TAG] [--language TAG] [--index
/// N]
/// [--waterfall] (--png OUT | --pdf OUT | --glyphs): text set in the face, as the type tester sets it.
int render(platform::Platform& platform, const QStringList& args);
/// coverage TEXT: the listed faces that have every character of TEXT, in list order.
int coverage(platform::Platform& platform, const QStringList& args);

/// find [--name WORDS] [--language TAG | --script NAME] [--text T] ...: the listed faces the query finds, in
/// list order, or their count.
int find(platform::Platform& platform, const QStringList& args);
/// chars FACE|FILE [--block NAME]: every character of the face, U+code<TAB>name<TAB>glyph id, by block.
int chars(platform::Platform& platform, const QStringList& args);

/// install PATH... [--dry-run] [--beside]: the faces of the font files, folders and archives, each with its
/// state, then the files copied into the user's font folder (none with --dry-run; a face installed from
/// another file only with --beside). Exit status 1 when something could not be installed.
int install(platform::Platform& platform, const QStringList& args);
/// uninstall PATH...: files of the user's font folders moved to the trash; any other file is refused.
int uninstall(platform::Platform& platform, const QStringList& args);

} // namespace quillon::inspect
