#include "opentype/LayoutTables.h"

#include "opentype/TagNames.h"

#include <hb-ot.h>

#include <algorithm>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>

namespace quillon::opentype {

namespace {

constexpr hb_tag_t kTables[] = {HB_OT_TAG_GSUB, HB_OT_TAG_GPOS};
constexpr unsigned kChunk = 256; // HarfBuzz hands lists over a piece at a time

QByteArray tagText(hb_tag_t tag)
{
    char text[4];
    hb_tag_to_string(tag, text);
    return QByteArray(text, 4);
}

/// The face's names by name ID, each chosen as the program chooses every name. The records are grouped by ID
/// once, so that naming every one of thousands of instances costs the records once, not once an instance.
class Names {
public:
    Names(const Face& face, std::uint32_t language) : face_(face), language_(language) {}

    QString text(unsigned nameID)
    {
        if (nameID == 0 || nameID >= HB_OT_NAME_ID_INVALID) return {};
        if (byId_.empty())
            for (const sfnt::NameEntry& entry : face_.names()) byId_[entry.nameID].push_back(entry);
        const auto id = static_cast<std::uint16_t>(nameID);
        if (auto known = chosen_.find(id); known != chosen_.end()) return known->second;
        QString text;
        if (auto it = byId_.find(id); it != byId_.end()) {
            const int record = sfnt::chosenNameRecord(it->second, static_cast<int>(nameID), language_);
            if (record >= 0) text = it->second[static_cast<std::size_t>(record)].text;
        }
        return chosen_.emplace(id, text).first->second;
    }

private:
    const Face& face_;
    std::uint32_t language_;
    std::unordered_map<std::uint16_t, std::vector<sfnt::NameEntry>> byId_;
    std::unordered_map<std::uint16_t, QString> chosen_;
};

/// Calls `each` for every item of a list HarfBuzz hands over in pieces.
template <class Item, class Get, class Each> void forEach(Get get, Each each)
{
    Item items[kChunk];
    for (unsigned start = 0;; start += kChunk) {
        unsigned count = kChunk;
        const unsigned total = get(start, &count, items);
        for (unsigned i = 0; i < count; ++i) each(items[i]);
        if (count == 0 || start + count >= total) break;
    }
}

struct Walk {
    Walk(const Face& f, Detail d, Names& n, LayoutTables& o) : face(f), detail(d), names(n), out(o) {}

    const Face& face;
    Detail detail;
    Names& names;
    LayoutTables& out;
    std::unordered_map<hb_tag_t, std::size_t> featureAt;    // tag → index in out.features
    std::map<QByteArray, std::set<QByteArray>> languagesOf; // script → its language tags
    std::vector<std::vector<std::uint32_t>> systemsOf;      // feature → ids into `systems`
    std::vector<LanguageSystem> systems;
    std::map<std::pair<hb_tag_t, hb_tag_t>, std::uint32_t> systemId;
    std::uint64_t visits = 0;

    void readTable(hb_tag_t table)
    {
        hb_face_t* hb = face.hb();
        std::vector<std::size_t> slotOf; // the table's feature index → index in out.features
        unsigned index = 0;
        forEach<hb_tag_t>(
            [&](unsigned start, unsigned* count, hb_tag_t* tags) {
                return hb_ot_layout_table_get_feature_tags(hb, table, start, count, tags);
            },
            [&](hb_tag_t tag) {
                auto [it, added] = featureAt.try_emplace(tag, out.features.size());
                if (added) {
                    Feature feature;
                    feature.tag = tagText(tag);
                    if (detail == Detail::Everything) feature.name = featureName(feature.tag);
                    out.features.push_back(std::move(feature));
                    systemsOf.emplace_back();
                }
                Feature& feature = out.features[it->second];
                (table == HB_OT_TAG_GSUB ? feature.substitution : feature.positioning) = true;
                if (detail == Detail::Everything && feature.fontName.isEmpty() &&
                    (feature.tag.startsWith("ss") || feature.tag.startsWith("cv"))) {
                    hb_ot_name_id_t label = HB_OT_NAME_ID_INVALID;
                    if (hb_ot_layout_feature_get_name_ids(hb, table, index, &label, nullptr, nullptr, nullptr,
                                                          nullptr))
                        feature.fontName = names.text(label);
                }
                slotOf.push_back(it->second);
                ++index;
            });

        forEach<hb_tag_t>(
            [&](unsigned start, unsigned* count, hb_tag_t* tags) {
                return hb_ot_layout_table_get_script_tags(hb, table, start, count, tags);
            },
            [&, scriptIndex = 0u](hb_tag_t scriptTag) mutable {
                readScript(table, scriptIndex++, scriptTag, slotOf);
            });
    }

    // Counts what the walk visits; false once the budget is spent (the walk then stops, marked as cut).
    bool spend(std::uint64_t n)
    {
        visits += n;
        if (visits > kMostFeatureVisits) out.cut = true;
        return !out.cut;
    }

    void readScript(hb_tag_t table, unsigned scriptIndex, hb_tag_t scriptTag,
                    const std::vector<std::size_t>& slotOf)
    {
        if (out.cut) return;
        hb_face_t* hb = face.hb();
        const QByteArray scriptText = tagText(scriptTag);
        std::set<QByteArray>& known = languagesOf[scriptText];
        std::vector<hb_tag_t> languages;
        forEach<hb_tag_t>(
            [&](unsigned start, unsigned* count, hb_tag_t* tags) {
                return hb_ot_layout_script_get_language_tags(hb, table, scriptIndex, start, count, tags);
            },
            [&](hb_tag_t tag) {
                if (!spend(1)) return;
                languages.push_back(tag);
                known.insert(tagText(tag));
            });
        if (detail != Detail::Everything) return;

        // The default language system first, then each named one.
        for (unsigned l = 0; l <= languages.size() && !out.cut; ++l) {
            const unsigned languageIndex = l == 0 ? HB_OT_LAYOUT_DEFAULT_LANGUAGE_INDEX : l - 1;
            const hb_tag_t languageTag = l == 0 ? HB_TAG('d', 'f', 'l', 't') : languages[l - 1];
            const auto found = systemId.try_emplace({scriptTag, languageTag}, systems.size());
            if (found.second) systems.push_back({scriptText, tagText(languageTag)});
            const std::uint32_t id = found.first->second;
            auto note = [&](unsigned featureIndex) {
                if (featureIndex >= slotOf.size() || !spend(1)) return;
                std::vector<std::uint32_t>& ids = systemsOf[slotOf[featureIndex]];
                if (ids.empty() || ids.back() != id) ids.push_back(id);
            };
            unsigned required = HB_OT_LAYOUT_NO_FEATURE_INDEX;
            if (hb_ot_layout_language_get_required_feature(hb, table, scriptIndex, languageIndex, &required,
                                                           nullptr))
                note(required);
            forEach<unsigned>(
                [&](unsigned start, unsigned* count, unsigned* indexes) {
                    return hb_ot_layout_language_get_feature_indexes(hb, table, scriptIndex, languageIndex,
                                                                     start, count, indexes);
                },
                note);
        }
    }

    void finish()
    {
        for (std::size_t f = 0; f < out.features.size(); ++f) {
            std::vector<std::uint32_t>& ids = systemsOf[f];
            std::sort(ids.begin(), ids.end(), [&](std::uint32_t a, std::uint32_t b) {
                return std::tie(systems[a].script, systems[a].language) <
                       std::tie(systems[b].script, systems[b].language);
            });
            ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
            for (std::uint32_t id : ids) out.features[f].systems.push_back(systems[id]);
        }
        std::sort(out.features.begin(), out.features.end(),
                  [](const Feature& a, const Feature& b) { return a.tag < b.tag; });
        for (const auto& [tag, languages] : languagesOf) {
            Script script;
            script.tag = tag;
            if (detail == Detail::Everything) script.name = scriptName(tag);
            for (const QByteArray& language : languages)
                script.languages.push_back(
                    {language, detail == Detail::Everything ? languageName(language.trimmed()) : QString()});
            out.scripts.push_back(std::move(script));
        }
    }
};

void readVariations(const Face& face, Detail detail, Names& names, LayoutTables& out)
{
    hb_face_t* hb = face.hb();
    if (!hb_ot_var_has_data(hb)) return;
    QByteArrayList tags;
    forEach<hb_ot_var_axis_info_t>(
        [&](unsigned start, unsigned* count, hb_ot_var_axis_info_t* infos) {
            return hb_ot_var_get_axis_infos(hb, start, count, infos);
        },
        [&](const hb_ot_var_axis_info_t& info) {
            Axis axis;
            axis.tag = tagText(info.tag);
            axis.nameID = info.name_id < HB_OT_NAME_ID_INVALID ? static_cast<int>(info.name_id) : -1;
            axis.minimum = info.min_value;
            axis.defaultValue = info.default_value;
            axis.maximum = info.max_value;
            axis.hidden = info.flags & HB_OT_VAR_AXIS_FLAG_HIDDEN;
            if (detail == Detail::Everything) {
                axis.name = names.text(info.name_id);
                if (axis.name.isEmpty()) axis.name = QString::fromLatin1(axis.tag).trimmed();
            }
            tags << axis.tag;
            out.axes.push_back(std::move(axis));
        });
    const unsigned count = hb_ot_var_get_named_instance_count(hb);
    std::vector<float> coordinates(out.axes.size());
    for (unsigned i = 0; i < count; ++i) {
        Instance instance;
        const hb_ot_name_id_t id = hb_ot_var_named_instance_get_subfamily_name_id(hb, i);
        // Name ID 0 is the copyright notice: an instance "named" by it has no name.
        instance.nameID = id > 0 && id < HB_OT_NAME_ID_INVALID ? static_cast<int>(id) : -1;
        unsigned length = static_cast<unsigned>(coordinates.size());
        hb_ot_var_named_instance_get_design_coords(hb, i, &length, coordinates.data());
        instance.coordinates.assign(coordinates.begin(), coordinates.begin() + length);
        instance.coordinates.resize(out.axes.size());
        if (detail == Detail::Everything) {
            instance.name = names.text(id);
            if (instance.name.isEmpty()) instance.name = coordinateWords(tags, instance.coordinates);
        }
        out.instances.push_back(std::move(instance));
    }
}

} // namespace

LayoutTables readLayoutTables(const Face& face, Detail detail, std::uint32_t language)
{
    LayoutTables out;
    if (!face) return out;
    Names names(face, language);
    Walk walk{face, detail, names, out};
    for (hb_tag_t table : kTables) walk.readTable(table);
    walk.finish();
    readVariations(face, detail, names, out);
    return out;
}

std::optional<LayoutTables> readLayoutTables(const QByteArray& nativePath, int index, Detail detail,
                                             std::uint32_t language)
{
    const Face face = Face::open(nativePath, index);
    if (!face) return std::nullopt;
    return readLayoutTables(face, detail, language);
}

QString coordinateWords(const QByteArrayList& tags, const std::vector<double>& values)
{
    QStringList words;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const QString tag = i < static_cast<std::size_t>(tags.size())
                                ? QString::fromLatin1(tags[static_cast<qsizetype>(i)]).trimmed()
                                : QStringLiteral("axis %1").arg(i + 1);
        words << tag + u' ' + QString::number(values[i], 'g', 6);
    }
    return words.join(QStringLiteral(", "));
}

QString instanceStyle(const Face& face, std::uint32_t language)
{
    if (!face || !hb_ot_var_has_data(face.hb())) return {};
    Names names(face, language);
    const LayoutTables tables = [&] {
        LayoutTables out;
        readVariations(face, Detail::Tags, names, out);
        return out;
    }();
    if (tables.axes.empty()) return {};
    QByteArrayList tags;
    std::vector<double> defaults;
    for (const Axis& a : tables.axes) {
        tags << a.tag;
        defaults.push_back(a.defaultValue);
    }
    const Instance* instance = nullptr;
    const int named = face.namedInstance();
    if (named > 0) {
        if (static_cast<std::size_t>(named) > tables.instances.size()) return {};
        instance = &tables.instances[static_cast<std::size_t>(named - 1)];
    } else {
        auto it = std::find_if(tables.instances.begin(), tables.instances.end(),
                               [&](const Instance& i) { return i.coordinates == defaults; });
        if (it == tables.instances.end()) return coordinateWords(tags, defaults);
        instance = &*it;
    }
    const QString name =
        instance->nameID < 0 ? QString() : names.text(static_cast<unsigned>(instance->nameID));
    return name.isEmpty() ? coordinateWords(tags, instance->coordinates) : name;
}

} // namespace quillon::opentype
