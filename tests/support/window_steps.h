#pragma once

// Steps that the frame's, the light window's and the cross-subsystem tests
// take alike: the catalogue's rows as the window holds them, files beside
// it, stops by the progress bar and Esc, and a run in each edition.
#include "support/catalogue_rows.h"
#include "support/window_controls.h"
#include "support/window_fixture.h"

#include "platform/store/connection.h"
#include "search/search_grid.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QSize>

#include <functional>
#include <memory>
#include <string>

#include <sys/stat.h>

// A file made read-only (by its mode, which the program goes by) while this lives.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const QString& path) : m_path(path) { ::chmod(QFile::encodeName(path).constData(), 0444); }
    ~ReadOnlyFile() { ::chmod(QFile::encodeName(m_path).constData(), 0644); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

private:
    QString m_path;
};

// The make-up of a catalogue: its schema, and its password when it has one.
inline testsupport::CatalogueSpec spec_of(mosswick::store::Schema schema, const QString& password = {})
{
    testsupport::CatalogueSpec spec;
    spec.schema = schema;
    spec.protection.password = password;
    return spec;
}

// Widens a catalogue's table by columns given as "name TYPE", as older
// versions of the program left it.
inline void add_columns(const QString& path, const QStringList& columns)
{
    mosswick::store::Error e;
    auto c = mosswick::store::Connection::open(path, {}, e);
    ASSERT_TRUE(c) << e.text.toStdString();
    for (const QString& column : columns)
        ASSERT_TRUE(c->exec("ALTER TABLE demopicture ADD COLUMN " + column).ok()) << column.toStdString();
}

// The database page's password change, the new password typed in both boxes.
inline void change_password(QWidget& window, const QString& typed, const QString& again)
{
    ctl(window).Text35->setText(typed);
    ctl(window).Text36->setText(again);
    ctl(window).Command1->click();
}

inline void change_password(QWidget& window, const QString& password)
{
    change_password(window, password, password);
}

// A main window with a catalogue folder, and what a test reads of the
// catalogue it holds and does to it.
class WindowSteps : public WindowTest {
protected:
    // Lets windows that closed themselves go (zoom windows close on a timer).
    static void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString data(const QString& name = {}) const { return dir.file("data/" + name); }

    static void touch(const QString& path, const QByteArray& bytes = {}) { testsupport::write_file(path, bytes); }

    // A catalogue of n pictures whose files, small ones, are in data/.
    QString make_with_files(int n, mosswick::store::Schema schema = mosswick::store::Schema::Full,
                            QSize size = {40, 30}, const QString& password = {})
    {
        testsupport::CatalogueSpec spec = spec_of(schema, password);
        spec.write_files = true;
        spec.width = size.width();
        spec.height = size.height();
        return make(n, spec);
    }

    QStringList rows() const
    {
        auto* conn = window->session().db_conn();
        return conn ? testsupport::row_texts(*conn) : QStringList{};
    }

    QVariant field(const QString& column, const QString& picfile) const
    {
        mosswick::store::Error e;
        const QVariant v =
            window->session().db_conn()->scalar("SELECT " + column + " FROM demopicture WHERE picfile = ?1", {picfile}, e);
        EXPECT_FALSE(e) << e.text.toStdString();
        return v;
    }

    // A search by file name or by note, from its page of the search tab.
    void search_names(const QString& text) { search(0, ctl(*window).Text1, text); }
    void search_notes(const QString& text) { search(1, ctl(*window).Text4, text); }

    void search(int page, QLineEdit* box, const QString& text)
    {
        ctl(*window).SSTab_search->setCurrentIndex(page);
        box->setText(text);
        ctl(*window).refresh_grid->click();
    }

    static mosswick::search::GridModel* grid(QTableView* view) { return mosswick::search::search_grid(view)->rows(); }

    // A column of what the search found.
    QStringList found(int column = 0) const
    {
        const mosswick::search::GridModel* model = grid(ctl(*window).MSFlexGrid1);
        QStringList out;
        for (int r = 0; r < model->rowCount(); ++r)
            out << model->text(r, column);
        return out;
    }

    // A click on the progress bar as the window receives it.
    void click_progress_bar()
    {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(ctl(*window).ProgressBar1, &press);
    }

    // Esc as the window receives it, wherever the focus is.
    void press_esc()
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
        QApplication::sendEvent(ctl(*window).ProgressBar1, &press);
    }

    // Runs f once, the first time the progress bar shows value while when() holds.
    void when_bar_reaches(int value, std::function<void()> f, std::function<bool()> when = {})
    {
        auto done = std::make_shared<bool>(false);
        QObject::connect(ctl(*window).ProgressBar1, &QProgressBar::valueChanged, window.get(),
                         [value, done, f = std::move(f), when = std::move(when)](int v) {
                             if (v >= value && !*done && (!when || when())) {
                                 *done = true;
                                 f();
                             }
                         });
    }
};

// A window test run in the full edition (false) and in the light edition (true).
template <class Base>
class InEachEdition : public Base, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override { this->start(edition()); }

    bool light() const { return this->GetParam(); }
    mosswick::Edition edition() const { return light() ? mosswick::Edition::light() : mosswick::Edition::enhanced(); }
    mosswick::store::Schema schema() const { return light() ? mosswick::store::Schema::Light : mosswick::store::Schema::Full; }
};

// Names the runs of an InEachEdition test.
inline std::string edition_name(const ::testing::TestParamInfo<bool>& info)
{
    return info.param ? "Light" : "Full";
}
