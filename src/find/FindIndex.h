#pragma once
// The finder's index for the program's run: the survey runs on a thread of its own when the index is first
// asked for, and again when the installed fonts change (refresh); the faces come first (the window can
// search by name at once), the layout tags after the files have been read (or at once from the cache). Kept
// after the window closes, so opening it again reads nothing.
//
// Lives on the window's thread; its signals come there. Destroying it stops a survey still running.

#include "catalogue/FontCatalogue.h"
#include "find/FaceFinder.h"

#include <QObject>
#include <QStringList>

#include <atomic>
#include <memory>
#include <thread>

namespace quillon {

namespace platform {
class FaceSurvey;
}

namespace find {

class FindIndex final : public QObject {
    Q_OBJECT
public:
    /// survey must outlive the index; the catalogue gives the faces, in list order, and their records.
    FindIndex(platform::FaceSurvey& survey, const FontCatalogue& catalogue, QObject* parent = nullptr);
    ~FindIndex() override;

    /// Starts the survey unless it has started.
    void start();
    /// The catalogue was rebuilt: a survey still running is stopped and its reports dropped, and the faces
    /// are surveyed again (the finder of the earlier survey stays until the new faces are ready).
    void refresh(const FontCatalogue& catalogue);
    /// The finder once the faces are known; null before.
    FaceFinder* finder() const { return finder_.get(); }
    /// Files whose layout tags are read so far, of how many; both 0 before the reading starts.
    int layoutDone() const { return layoutDone_; }
    int layoutTotal() const { return layoutTotal_; }

    /// The same survey on the calling thread, to its end: the finder with its layout (quillon-inspect).
    static std::unique_ptr<FaceFinder> surveyNow(platform::FaceSurvey& survey,
                                                 const FontCatalogue& catalogue);
    /// The catalogue's faces in list order, each with the file its first record names.
    static std::vector<platform::ListedFace> listedFaces(const FontCatalogue& catalogue);

signals:
    void facesReady();
    void layoutProgress(int done, int total);
    void layoutReady();

private:
    class Report;
    platform::FaceSurvey& survey_;
    QStringList names_;
    std::vector<platform::ListedFace> listed_;
    std::unique_ptr<FaceFinder> finder_;
    std::atomic<bool> cancelled_{false};
    std::thread thread_;
    int layoutDone_ = 0;
    int layoutTotal_ = 0;
    unsigned surveyNumber_ = 0; // which survey a report belongs to: an earlier one's reports are dropped
};

} // namespace find
} // namespace quillon
