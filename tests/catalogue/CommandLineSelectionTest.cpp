// Starting on a font file: which face is selected, which effects are set, when the print request is noted.
#include "catalogue/CommandLineSelection.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

using namespace quillon;

namespace {

struct Recorder : CommandLineTarget {
    QStringList calls;
    bool printPending = false;
    void selectFace(int index) override { calls << QStringLiteral("select %1").arg(index); }
    void setEffect(int index, int value) override
    {
        calls << QStringLiteral("effect %1=%2").arg(index).arg(value);
    }
    void setPrintPending(bool pending) override { printPending = pending; }
    void showNotRegistered() override { calls << QStringLiteral("message"); }
};

FontCatalogue sampleCatalogue()
{
    FontCatalogue catalogue;
    catalogue.records = {{"arial", "arial.ttf", false, false, ""},
                         {"arial", "arialbi.ttf", true, true, ""},
                         {"courier new", "cour.ttf", false, false, ""},
                         {"ghost", "ghost.ttf", false, false, ""}};
    catalogue.fontNames = {"Arial", "Courier New", "Verdana"};
    return catalogue;
}

struct Case {
    QString commandLine;
    QString reducedTo;
    QStringList calls;
    bool printPending;
};

TEST(SelectCommandLineFont, ReducesThePathSelectsTheFaceAndSetsItsStyle)
{
    const FontCatalogue catalogue = sampleCatalogue();
    const Case cases[] = {
        {"", "", {"select 0"}, false},
        {"c:\\windows\\fonts\\arialbi.ttf", "arialbi.ttf", {"select 0", "effect 0=1", "effect 1=1"}, false},
        {"/usr/share/fonts/truetype/cour.ttf", "cour.ttf", {"select 1", "effect 0=0", "effect 1=0"}, false},
        {"/p c:\\windows\\fonts\\cour.ttf", "cour.ttf", {"select 1", "effect 0=0", "effect 1=0"}, true},
        {"/p /home/me/fonts/cour.ttf", "cour.ttf", {"select 1", "effect 0=0", "effect 1=0"}, true},
        // not installed: the first face and the message; the print request stays
        {"d:\\newfonts\\special.ttf", "special.ttf", {"select 0", "message"}, false},
        {"/p d:\\newfonts\\special.ttf", "special.ttf", {"select 0", "message"}, true},
        // the switch with one separator and nothing else compares the empty name
        {"/p ", "", {"select 0", "message"}, true},
        {"/p", "", {"select 0", "message"}, true},
        // quotes stay in the compared name
        {"\"c:\\fonts\\cour.ttf\"", "cour.ttf\"", {"select 0", "message"}, false},
        // "/p" later in the text, or a Linux path merely starting with /p, is a plain path
        {"c:\\x /p cour.ttf", "p cour.ttf", {"select 0", "message"}, false},
        {"/pub/fonts/cour.ttf", "cour.ttf", {"select 1", "effect 0=0", "effect 1=0"}, false},
        // a record whose face is no longer listed: the first face, no message
        {"ghost.ttf", "ghost.ttf", {"select 0"}, false},
    };
    for (const Case& c : cases) {
        Recorder target;
        target.printPending = !c.printPending; // the selection must reset it itself
        QString commandLine = c.commandLine;
        SelectCommandLineFont(commandLine, catalogue, target);
        EXPECT_EQ(commandLine, c.reducedTo) << c.commandLine.toStdString();
        EXPECT_EQ(target.calls, c.calls) << c.commandLine.toStdString();
        EXPECT_EQ(target.printPending, c.printPending) << c.commandLine.toStdString();
    }
}

TEST(SelectCommandLineFont, TheFirstRecordOfAFileWinsAndTheFaceMatchIgnoresCase)
{
    FontCatalogue catalogue;
    catalogue.records = {{"ms sans serif", "sserife.fon", false, false, "8,10"}};
    catalogue.fontNames = {"Arial", "MS Sans Serif"};
    Recorder target;
    QString commandLine = "c:\\windows\\fonts\\sserife.fon";
    SelectCommandLineFont(commandLine, catalogue, target);
    EXPECT_EQ(target.calls, (QStringList{"select 1", "effect 0=0", "effect 1=0"}));
}

} // namespace
