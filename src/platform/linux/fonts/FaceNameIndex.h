#pragma once
// The faces the font mapper can choose from, looked up by name: every face of fontconfig's current
// configuration (taken from its cache, so no font file is opened to build the index) plus the files the
// program added for itself. A name is looked up by its family names and full names in every language,
// ignoring case; a face a family name finds is confirmed by opening only that face with FreeType, so a
// family resolves by what the face's own name table calls its family (name ID 1).
//
// Built on first use, and again when the installed fonts change (rebuild); not thread-safe (the program has
// one thread).

#include "platform/FontSystem.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <QStringView>

#include <cstdint>
#include <optional>
#include <vector>

typedef struct FT_LibraryRec_* FT_Library;
typedef struct _FcPattern FcPattern;

namespace quillon::platform {

/// One face as the look-ups need it. Its file, first family and style stay in fontconfig's own pattern
/// (held by reference), its names in the index's pool: some forty bytes a face besides its names.
struct IndexedFace {
    FcPattern* pattern = nullptr; // owned reference: file, index, first family and first style
    std::uint32_t names = 0;      // where its lower-cased family and full names begin in the name pool
    int index = 0;                // as fontconfig gives it: face number, named instance in bits 16..30
    double weight = 80;           // fontconfig weight; 80 is regular
    double width = 100;           // 100 normal
    std::int16_t slant = 0;       // 0 roman
    bool variable = false;        // the whole-range face of a variable font (not a named instance)
    bool sfnt = false; // TrueType or CFF outlines in an sfnt, preferred over Type 1 and bitmap faces
    bool live = true;  // false once an added file was taken out again
};

/// How a name found a face.
enum class NameMatch {
    Family,     // a family name of the face (name ID 1): the mapper reads the name back as asked
    FullName,   // a full name (name ID 4): the face is used, its family is read back
    Prefix,     // a name cut to the face-name field's length that begins a family or full name
    Substitute, // no face has the name: the configuration's best substitute for it
};

struct FaceChoice {
    int face = -1;
    NameMatch how = NameMatch::Substitute;
};

class FaceNameIndex {
public:
    FaceNameIndex();
    ~FaceNameIndex();
    FaceNameIndex(const FaceNameIndex&) = delete;
    FaceNameIndex& operator=(const FaceNameIndex&) = delete;

    /// The face the mapper uses for `name` by family, then full name, then (when `cutTo` is non-zero and the
    /// name is that long) by prefix; nullopt when none has the name.
    std::optional<FaceChoice> find(const QString& name, int cutTo = 0);
    /// The face fontconfig substitutes for a name it has no face for; nullopt without any fonts.
    std::optional<FaceChoice> substitute(const QString& name);

    const IndexedFace& face(int i) const { return faces_[static_cast<std::size_t>(i)]; }
    /// The face's font file (absolute) and first style name, as fontconfig holds them.
    QString file(int i) const;
    QString style(int i) const;
    /// Faces indexed, live or not.
    int size() const { return static_cast<int>(faces_.size()); }
    /// The family the face's own name table gives (name ID 1, US English first); fontconfig's first family
    /// when the file has no such name.
    QString familyOf(int i);
    ResolvedFace resolved(int i);

    /// Makes the faces of a font file known (an added font) from its contents `data`, as read from `path`
    /// (absolute): the number of faces it holds, 0 when none. Each learning needs its own forgetting; the
    /// faces stay known until the last one.
    int learnFile(const QString& path, const QByteArray& data);
    bool forgetFile(const QString& path);

    /// Takes fontconfig's current configuration in afresh (fonts were installed or removed); the files the
    /// program added stay known. Face numbers given out before are void.
    void rebuild();

    /// The FreeType library the index opens faces with, for callers that read a face's tables.
    FT_Library freetype();

private:
    /// A look-up key: a lower-cased name in the pool and a face that has it. Kept sorted by name, then face.
    struct Key {
        std::uint32_t name = 0;
        int face = 0;
    };
    enum NameKind { Families, FullNames };

    void build();
    void addPattern(FcPattern* pattern, bool named);
    void indexFace(int i);
    void unindexFace(int i);
    /// A pooled name: its length, then its UTF-16 units.
    std::uint32_t pool(QStringView text);
    /// Pools a fontconfig name lower-cased; ASCII names (nearly all) without a detour through QString.
    void poolLowered(const char* utf8);
    QStringView pooled(std::uint32_t at) const;
    /// The face's lower-cased family names (fontconfig's, all languages) or full names.
    std::vector<QStringView> names(int i, NameKind kind) const;
    /// Faces whose key is `name`, in face order.
    std::vector<int> facesKeyed(const std::vector<Key>& keys, QStringView name) const;
    void insertKey(std::vector<Key>& keys, Key key);
    void sortKeys(std::vector<Key>& keys);
    /// Whether the face's own name table lists `lowerName` as a family (name ID 1) in any language.
    bool confirmFamily(int i, const QString& lowerName);
    /// Live faces in the order a request without style prefers them: nearest to regular, then, of equally
    /// near ones, a face whose full name is `lowerName`; of one face in an sfnt and a Type 1 file, the sfnt
    /// file first.
    std::vector<int> ranked(const std::vector<int>& faces, const QString& lowerName = QString()) const;
    bool sameFace(int a, int b) const;
    /// An sfnt file's face that is the same face as the non-sfnt face i; nullopt when none is known.
    std::optional<int> sfntTwin(int i) const;

    bool built_ = false;
    std::vector<IndexedFace> faces_;
    /// Every face's lower-cased names, and the blank-free family keys that differ from them.
    std::vector<char16_t> pool_;
    std::vector<Key> byFamilyKey_; // family names without blanks, as fontconfig tells families apart
    std::vector<Key> byFamily_;    // family names as written, for prefixes and twins
    std::vector<Key> byFullName_;
    bool keysSorted_ = false; // false while the index is first built: the keys are sorted once at its end
    /// Faces by file and face number, for fontconfig's substitutes; built when first asked.
    std::vector<int> byFile_;
    bool byFileCurrent_ = false;
    struct Learned {
        int count = 0;
        std::vector<int> faces;
    };
    QHash<QString, Learned> learned_;
    /// Name ID 1 texts (lower-cased) of faces already opened, by face.
    QHash<int, QStringList> familyNamesRead_;
    QHash<int, QString> englishFamily_;
    /// Substitutes already asked of fontconfig, by lower-cased name; emptied when the faces change.
    QHash<QString, std::optional<FaceChoice>> substitutes_;
    FT_Library library_ = nullptr;
};

} // namespace quillon::platform
