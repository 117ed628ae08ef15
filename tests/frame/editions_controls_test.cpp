// Which controls each edition's window builds, counted by their names.
#include "frame/frm_browser.h"
#include "support/named_controls.h"
#include "support/scripted_dialogs.h"

#include <QAction>
#include <QRegularExpression>
#include <QTabBar>

#include <gtest/gtest.h>

#include <map>

using namespace mosswick;

namespace {

// Each named control of the window itself (not of a dialog or another
// window), by name: "Label3", "im(2)" ...
std::map<QString, int> named_controls(QWidget& window)
{
    std::map<QString, int> counts;
    for (QObject* o : window.findChildren<QObject*>()) {
        if (o->objectName().isEmpty() || (!o->isWidgetType() && !qobject_cast<QAction*>(o)))
            continue;
        // Qt's own inner widgets (scroll areas, tab bars' buttons) are not ours.
        if (o->objectName().startsWith(QLatin1String("qt_")) || qobject_cast<QTabBar*>(o->parent()))
            continue;
        if (testsupport::inside(window, o))
            ++counts[o->objectName()];
    }
    return counts;
}

// The controls of a name: "Option5" counts Option5(0), Option5(1) ...
int count_of(const std::map<QString, int>& counts, const QString& name)
{
    const QRegularExpression element(QStringLiteral("^%1\\(\\d+\\)$").arg(QRegularExpression::escape(name)));
    int n = 0;
    for (const auto& [control, count] : counts)
        if (control == name || element.match(control).hasMatch())
            n += count;
    return n;
}

// What only the full edition has: passwords, stored pictures, the reference
// and the additional note, the search's details and reference tabs, the
// update pass's note import.
const char* const k_full_only[] = {
    "Check1", "Check3", "Text35", "Text36", "Check4", "Command1",                      // passwords
    "Text34", "SSTab1", "Text18",                                                    // the cells' extra notes
    "Text3", "Option5", "Option6", "Option7", "Option1(2)",                          // searches of the extra fields
    "Text30", "Text31", "Text32", "Text29", "text24", "Text33", "Text25", "Image1",  // the details
    "Image3", "display_page", "MSHFlexGrid1", "refresh_ref", "Check5",              // and the reference grid
    "MSHFlexGrid2", "Extract", "refresh_extraction",                                 // import/export
    "Option4", "Option2", "OptionF1", "OptionFL2", "OptionF12",                      // the loader's IN choices
    "text23", "Text27", "note_size(0)", "note_size(2)",                              // the loader's extra notes
};
const char* const k_light_only[] = {"compact_database"};

class EditionControls : public ::testing::Test {
protected:
    std::map<QString, int> controls_of(const Edition& edition)
    {
        frmBrowser window(edition);
        window.Form_Load({});
        return named_controls(window);
    }

    testsupport::ScopedScriptedDialogs dialogs;
};

TEST_F(EditionControls, TheLightWindowBuildsNoneOfTheFullWindowsExtraControls)
{
    const auto full = controls_of(Edition::enhanced());
    const auto light = controls_of(Edition::light());
    for (const char* name : k_full_only) {
        EXPECT_GT(count_of(full, QString::fromLatin1(name)), 0) << name;
        EXPECT_EQ(count_of(light, QString::fromLatin1(name)), 0) << name;
    }
    for (const char* name : k_light_only) {
        EXPECT_EQ(count_of(full, QString::fromLatin1(name)), 0) << name;
        EXPECT_EQ(count_of(light, QString::fromLatin1(name)), 1) << name;
    }
    // Apart from those, both windows have the same controls.
    for (const auto& [name, count] : light) {
        if (name != QLatin1String("compact_database")) {
            EXPECT_TRUE(full.count(name)) << name.toStdString() << " is only in the light window";
        }
    }
}

TEST_F(EditionControls, EveryControlHasANameOfItsOwn)
{
    for (const Edition& edition : {Edition::enhanced(), Edition::light()}) {
        const auto counts = controls_of(edition);
        for (const auto& [name, count] : counts)
            EXPECT_EQ(count, 1) << name.toStdString();
        // The six cells, the page view's and the frame's controls are all there.
        for (const char* name : {"im", "Im2", "lbl_note", "lbl_filePic", "Label4", "Label5", "Label7", "lbl_fileName"})
            EXPECT_EQ(count_of(counts, QString::fromLatin1(name)), 6) << name;
        for (const char* name : {"SSTab_main", "mnuDb", "mnuDbRnm", "ProgressBar1", "Label3", "Slider1", "MSFlexGrid1",
                                 "Fil_ImportFile", "mgm_pic", "Create_database"})
            EXPECT_EQ(count_of(counts, QString::fromLatin1(name)), 1) << name;
    }
}

} // namespace
