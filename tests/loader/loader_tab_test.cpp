// The loader tab on its own: a session, a status line and the pages it
// hosts, without the main window around it.
#include "core/catalogue_session.h"
#include "core/edition.h"
#include "core/status_line.h"
#include "loader/batch_load.h"
#include "loader/list_boxes.h"
#include "loader/loader_tab.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/label_button.h"
#include "support/list_gestures.h"
#include "support/test_support.h"

#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QStatusBar>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace mosswick;

namespace {

// No other part's boxes: pasted text goes in as it is.
struct NoPasteRules : PasteRules {
    WindowPart::PasteRule paste_rule_of(const QWidget*) const override { return {}; }
};

class LoaderTabAlone : public ::testing::Test {
protected:
    NoPasteRules no_rules;
    void make(const Edition& edition)
    {
        session = std::make_unique<CatalogueSession>(edition);
        session->set_status(&status);
        tab = std::make_unique<LoaderTab>(*session, no_rules);
        tab->host_pages(new QWidget, edition.features.stored_pictures ? new QWidget : nullptr, new QWidget);
        tab->loader_Form_Load();
    }
    template <class T>
    T* find(const char* name) const { return tab->findChild<T*>(QString::fromLatin1(name)); }
    // Lists a folder of two pictures with a catalogue "open" (no connection).
    void list_two_pictures()
    {
        ASSERT_TRUE(testsupport::write_picture(folder.file("a.jpg"), 60, 40, "jpg"));
        ASSERT_TRUE(testsupport::write_picture(folder.file("b.png"), 60, 40, "png"));
        session->file_opened();
        ASSERT_TRUE(testsupport::open_folder(find<DirListBox>("Dir_ImportDir"), folder.path()));
    }

    QStatusBar bar;
    StatusLine status{&bar};
    std::unique_ptr<CatalogueSession> session;
    std::unique_ptr<LoaderTab> tab;
    testsupport::TempDir folder;
};

} // namespace

TEST_F(LoaderTabAlone, EachEditionBuildsOnlyItsOwnControls)
{
    const char* full_only[] = {"Option4(0)",  "Option4(1)",  "OptionF1(0)", "OptionF1(2)", "OptionFL2(0)", "OptionF12(0)",
                               "OptionF12(2)", "Option2(0)", "Option2(1)",  "text23",      "Text27",       "note_size(0)",
                               "note_size(2)", "Label28_15", "Label28_24"};
    const char* both[] = {"Fil_ImportFile", "File_movies", "OptionFL(0)", "Option3(0)", "Txt_Notes",
                          "note_size(1)",   "Label28_23",  "cmd_OK",      "SSTab4",     "update_pictures"};
    for (const bool enhanced : {true, false}) {
        make(enhanced ? Edition::enhanced() : Edition::light());
        for (const char* name : full_only)
            EXPECT_EQ(find<QWidget>(name) != nullptr, enhanced) << name;
        for (const char* name : both)
            EXPECT_NE(find<QWidget>(name), nullptr) << name;
        // The light edition has the database and picture pages, no import/export page.
        EXPECT_EQ(find<QTabWidget>("SSTab4")->count(), enhanced ? 3 : 2);
    }
    EXPECT_EQ(find<QTabWidget>("SSTab4")->tabText(1), "Picture");
    // Without the choices the update pass only relinks, into the note.
    EXPECT_FALSE(tab->lists().notes_in);
    EXPECT_EQ(tab->lists().target, files::NoteTarget::Note);
    // The note tools work on the one note box.
    find<richtext::RichTextBox>("Txt_Notes")->setText("one\ntwo");
    QTest::mouseClick(find<ui::LabelButton>("note_size(1)"), Qt::LeftButton);
    EXPECT_EQ(find<ui::LabelButton>("note_size(1)")->text(), "8");   // lines end in CR LF
    find<QPushButton>("clear_note")->click();
    EXPECT_EQ(find<richtext::RichTextBox>("Txt_Notes")->Text(), "");
}

TEST_F(LoaderTabAlone, TellsTheRestOfTheWindowWhatItListsAndChose)
{
    make(Edition::enhanced());
    list_two_pictures();
    EXPECT_EQ(status.message_text(), "Listed 2 pictures, no movies found.");
    EXPECT_EQ(tab->listed_folder(), folder.path());
    LoaderLists lists = tab->lists();
    EXPECT_EQ(lists.picture_folder, folder.path());
    EXPECT_EQ(lists.files_folder, folder.path());
    EXPECT_EQ(lists.pictures, QStringList({"a.jpg", "b.png"}));
    EXPECT_EQ(lists.all_files, QStringList({"a.jpg", "b.png"}));

    EXPECT_FALSE(lists.notes_in);
    EXPECT_EQ(lists.target, files::NoteTarget::Note);
    find<QRadioButton>("OptionFL2(0)")->click();
    find<QRadioButton>("OptionF12(2)")->click();
    lists = tab->lists();
    EXPECT_TRUE(lists.notes_in);
    EXPECT_EQ(lists.target, files::NoteTarget::Reference);
    find<QRadioButton>("OptionF12(1)")->click();
    EXPECT_EQ(tab->lists().target, files::NoteTarget::AddNote);

    // "Update pictures" is the update pass's: the tab only asks for it.
    QSignalSpy update(tab.get(), &LoaderTab::update_requested);
    find<QPushButton>("update_pictures")->click();
    EXPECT_EQ(update.count(), 1);
}

TEST_F(LoaderTabAlone, APickLocksAndAnEndFreesTheEditsOfOtherParts)
{
    make(Edition::enhanced());
    list_two_pictures();
    QSignalSpy lock(tab.get(), &LoaderTab::pick_lock_changed);
    QSignalSpy idle(tab.get(), &LoaderTab::returned_to_idle);
    QSignalSpy counts(session.get(), &CatalogueSession::counts_changed);

    auto* pictures = find<FileListBox>("Fil_ImportFile");
    auto* cancel = find<QPushButton>("cancel_load_picture");
    testsupport::double_click_row(pictures, 0);
    ASSERT_TRUE(cancel->isEnabled());
    ASSERT_EQ(lock.count(), 1);
    EXPECT_TRUE(lock.at(0).at(0).toBool());
    EXPECT_FALSE(pictures->isEnabled());
    EXPECT_EQ(find<QTabWidget>("SSTab4")->currentIndex(), 1);

    cancel->click();
    EXPECT_FALSE(cancel->isEnabled());
    ASSERT_EQ(lock.count(), 2);
    EXPECT_FALSE(lock.at(1).at(0).toBool());
    EXPECT_TRUE(pictures->isEnabled());
    EXPECT_EQ(idle.count(), 0);

    // Committed without a connection: refused, and the tab goes back to idle
    // without a new count to announce.
    testsupport::double_click_row(pictures, 0);
    find<QPushButton>("cmd_OK")->click();
    EXPECT_EQ(status.message_text(), "Open a database first.");
    EXPECT_FALSE(cancel->isEnabled());
    EXPECT_EQ(idle.count(), 1);
    EXPECT_EQ(counts.count(), 0);
    EXPECT_FALSE(lock.last().at(0).toBool());
}
