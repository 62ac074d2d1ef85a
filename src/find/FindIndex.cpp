#include "find/FindIndex.h"

#include "catalogue/RecordFaces.h"
#include "platform/FaceSurvey.h"

#include <QMetaObject>

namespace quillon::find {

/// Turns the survey's reports into the finder's parts on the surveying thread, where the slow work
/// (folding names, interning tags) is done, and hands them to the index's thread.
class FindIndex::Report final : public platform::SurveyReport {
public:
    Report(FindIndex& index, unsigned number) : index_(index), number_(number) {}

    void faces(platform::Survey survey) override
    {
        auto finder = std::make_shared<std::unique_ptr<FaceFinder>>(
            std::make_unique<FaceFinder>(index_.names_, std::move(survey)));
        QMetaObject::invokeMethod(
            &index_,
            [index = &index_, finder, number = number_] {
                if (index->surveyNumber_ != number) return;
                index->finder_ = std::move(*finder);
                emit index->facesReady();
            },
            Qt::QueuedConnection);
    }
    void layoutProgress(int done, int total) override
    {
        QMetaObject::invokeMethod(
            &index_,
            [index = &index_, done, total, number = number_] {
                if (index->surveyNumber_ != number) return;
                index->layoutDone_ = done;
                index->layoutTotal_ = total;
                emit index->layoutProgress(done, total);
            },
            Qt::QueuedConnection);
    }
    void layout(std::vector<platform::LayoutTags> tags) override
    {
        auto layout = std::make_shared<LayoutIndex>(LayoutIndex::from(tags));
        QMetaObject::invokeMethod(
            &index_,
            [index = &index_, layout, number = number_] {
                if (index->surveyNumber_ != number) return;
                if (index->finder_) index->finder_->setLayout(std::move(*layout));
                emit index->layoutReady();
            },
            Qt::QueuedConnection);
    }
    bool cancelled() const override { return index_.cancelled_; }

private:
    FindIndex& index_;
    unsigned number_;
};

FindIndex::FindIndex(platform::FaceSurvey& survey, const FontCatalogue& catalogue, QObject* parent)
    : QObject(parent), survey_(survey), names_(catalogue.fontNames), listed_(listedFaces(catalogue))
{
}

std::vector<platform::ListedFace> FindIndex::listedFaces(const FontCatalogue& catalogue)
{
    // The record each face is drawn from when no face has its name, as the main window draws it, found
    // once for all: asking the catalogue face by face would look through every record for each of tens of
    // thousands of faces.
    const QHash<QString, const FontRecord*> records = drawingRecords(catalogue);
    std::vector<platform::ListedFace> out;
    out.reserve(static_cast<std::size_t>(catalogue.fontNames.size()));
    for (const QString& name : catalogue.fontNames) {
        const FontRecord* record = records.value(name.toLower());
        out.push_back({name, record ? record->file : QString()});
    }
    return out;
}

FindIndex::~FindIndex()
{
    cancelled_ = true;
    if (thread_.joinable()) thread_.join();
}

void FindIndex::start()
{
    if (thread_.joinable()) return;
    thread_ = std::thread([this, number = surveyNumber_] {
        Report report(*this, number);
        survey_.survey(listed_, report);
    });
}

void FindIndex::refresh(const FontCatalogue& catalogue)
{
    cancelled_ = true;
    if (thread_.joinable()) thread_.join();
    cancelled_ = false;
    ++surveyNumber_;
    names_ = catalogue.fontNames;
    listed_ = listedFaces(catalogue);
    layoutDone_ = 0;
    layoutTotal_ = 0;
    start();
}

std::unique_ptr<FaceFinder> FindIndex::surveyNow(platform::FaceSurvey& survey, const FontCatalogue& catalogue)
{
    const QStringList& listed = catalogue.fontNames;
    struct Collect final : platform::SurveyReport {
        const QStringList& listed;
        std::unique_ptr<FaceFinder> finder;
        explicit Collect(const QStringList& names) : listed(names) {}
        void faces(platform::Survey survey) override
        {
            finder = std::make_unique<FaceFinder>(listed, std::move(survey));
        }
        void layout(std::vector<platform::LayoutTags> tags) override
        {
            if (finder) finder->setLayout(LayoutIndex::from(tags));
        }
    } collect(listed);
    survey.survey(listedFaces(catalogue), collect);
    return std::move(collect.finder);
}

} // namespace quillon::find
