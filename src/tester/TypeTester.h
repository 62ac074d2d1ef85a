#pragma once
// The type tester: a text set in one face from the face's own file, with every OpenType feature of the face
// to leave to its default, turn on, turn off or set to an alternate, every variation axis on a slider, the
// script and language system its layout tables are read for, one size or a waterfall of sizes. A change
// redraws at once. The setting is copied as CSS, the sample as an image, or saved as a PDF.
//
// It follows the main window's face while it is open, reading the face only once the selection has settled;
// closed, it costs nothing. Escape closes it. A top-level window owned by the main window.

#include "tester/TesterOutput.h"
#include "typeset/FontSettings.h"

#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;
class QTreeView;

namespace quillon {

namespace platform {
struct Platform;
}

namespace tester {
class AxisPanel;
class FeatureTable;
class SampleView;
} // namespace tester

class TypeTester : public QWidget {
    Q_OBJECT
public:
    /// platform must outlive the window; endProgram (may be empty) ends the whole program.
    explicit TypeTester(platform::Platform& platform, std::function<void()> endProgram = {},
                        QWidget* parent = nullptr);
    ~TypeTester() override;

    /// Sets the listed face `face`, drawn from the file the font system draws it from; read once the current
    /// event is done (several changes in a row read only the last). A name no face has, and that the font
    /// system does not stand a record's file for, is drawn in nothing.
    void setFace(const QString& face);
    /// Sets face `index` of a font file itself, installed or not.
    void setFile(const QString& path, int index = 0);
    /// The text, as typed in the text box.
    void setText(const QString& text);

    const QString& face() const { return sample_.face; }
    /// The face's typesetter, read at once when a face is still pending; null when the face cannot be drawn.
    typeset::Typesetter* typesetter();
    const typeset::FontSettings& settings() const { return settings_; }
    /// The CSS the Copy CSS button puts on the clipboard.
    QString css() const;
    /// Writes the PDF the Save as PDF button writes; empty when written, else why not.
    QString saveAsPdf(const QString& path);

    QLabel* faceName = nullptr;
    QPlainTextEdit* textBox = nullptr;
    QDoubleSpinBox* sizeBox = nullptr;
    QCheckBox* waterfallBox = nullptr;
    QComboBox* scriptList = nullptr;
    QComboBox* languageList = nullptr;
    QTreeView* featureView = nullptr;
    QRadioButton* defaultButton = nullptr;
    QRadioButton* onButton = nullptr;
    QRadioButton* offButton = nullptr;
    QSpinBox* alternateBox = nullptr;
    QGroupBox* axesGroup = nullptr;
    tester::AxisPanel* axisPanel = nullptr;
    QLabel* missingLabel = nullptr;
    QPushButton* copyCssButton = nullptr;
    QPushButton* copyImageButton = nullptr;
    QPushButton* savePdfButton = nullptr;
    QScrollArea* sampleArea = nullptr;

    /// keyCode and shift as WindowsKeys reports them.
    void Form_KeyDown(int keyCode, int shift);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void readLater();
    void read();
    void fillScripts();
    void fillLanguages();
    void showFeatureSetting();
    void setSelectedFeature(std::optional<unsigned> value);
    void cycleSelectedFeature();
    void settingsChanged();
    void relayout();
    void copyImage();
    void savePdf();

    platform::Platform& platform_;
    std::function<void()> endProgram_;
    tester::Sample sample_;
    QString fileAsked_; // a file set by setFile, instead of a face
    typeset::FontSettings settings_;
    std::unique_ptr<typeset::Typesetter> typesetter_;
    tester::FeatureTable* features_ = nullptr;
    tester::SampleView* view_ = nullptr;
    bool pending_ = false;
    bool filling_ = false;
};

} // namespace quillon
