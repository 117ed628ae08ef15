#include "platform/store/background_check.h"

#include "store_fixture.h"
#include "support/catalogue_builder.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <atomic>

using namespace storetest;

namespace {

QString catalogue(const testsupport::TempDir& dir, int pictures, const Protection& protection = {})
{
    return testsupport::make_catalogue(dir.path(), {.pictures = pictures, .protection = protection});
}

// An opener that holds the check until it is told to stop.
BackgroundIntegrityCheck::Opener waiting_for_stop(const QString& path, std::atomic<bool>* saw_stop = nullptr)
{
    return [path, saw_stop](Error& e, const std::function<bool()>& stopping) {
        while (!stopping())
            QThread::yieldCurrentThread();
        if (saw_stop)
            *saw_stop = true;
        return Connection::open(path, {}, e);
    };
}

IntegrityOutcome outcome_of(const QSignalSpy& finished)
{
    return finished.front().front().value<IntegrityResult>().outcome;
}

} // namespace

TEST(IntegrityCheck, ASoundCataloguePassesAndProgressOnlyGrows)
{
    testsupport::TempDir dir;
    auto conn = open_ok(catalogue(dir, 3000));
    ASSERT_TRUE(conn);
    std::vector<int> seen;
    const IntegrityResult r = check_integrity(*conn, [&](int permille) {
        seen.push_back(permille);
        return true;
    });
    EXPECT_EQ(r.outcome, IntegrityOutcome::Passed);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_GT(seen.back(), 0);
    EXPECT_LT(seen.back(), 1000);
}

TEST(IntegrityCheck, AnEncryptedCatalogueIsCheckedThroughItsKey)
{
    testsupport::TempDir dir;
    auto conn = open_ok(catalogue(dir, 200, {QStringLiteral("secret"), false}), QStringLiteral("secret"));
    ASSERT_TRUE(conn);
    EXPECT_EQ(check_integrity(*conn).outcome, IntegrityOutcome::Passed);
}

TEST(IntegrityCheck, DamageBeyondTheHeaderOpensButIsFoundByTheCheck)
{
    testsupport::TempDir dir;
    const QString path = catalogue(dir, 300);
    ASSERT_TRUE(testsupport::damage_table_page_holding(path, testsupport::picture_name(300)));
    // The cheap checks at opening pass: header, key and schema are sound.
    auto conn = open_ok(path);
    ASSERT_TRUE(conn);
    const IntegrityResult r = check_integrity(*conn);
    EXPECT_EQ(r.outcome, IntegrityOutcome::Damaged);
    EXPECT_FALSE(r.detail.isEmpty());
    EXPECT_FALSE(r.detail.contains(u'\n')) << r.detail.toStdString();
    const QString message = integrity_problem(r);
    EXPECT_TRUE(message.contains(QStringLiteral("damaged"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("nothing was written"))) << message.toStdString();
    EXPECT_TRUE(message.contains(r.detail));
}

TEST(IntegrityCheck, AStopEndsTheCheckWithoutAVerdict)
{
    testsupport::TempDir dir;
    auto conn = open_ok(catalogue(dir, 3000));
    ASSERT_TRUE(conn);
    int calls = 0;
    const IntegrityResult r = check_integrity(*conn, [&](int) { return ++calls < 3; });
    EXPECT_EQ(r.outcome, IntegrityOutcome::Stopped);
    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(integrity_problem(r).isEmpty());
    // The connection is usable afterwards and a full run passes.
    EXPECT_EQ(check_integrity(*conn).outcome, IntegrityOutcome::Passed);
}

TEST(BackgroundIntegrityCheck, RunsOnItsOwnConnectionAndReportsOnce)
{
    testsupport::TempDir dir;
    const QString path = catalogue(dir, 300);
    ASSERT_TRUE(testsupport::damage_table_page_holding(path, testsupport::picture_name(300)));
    std::atomic<bool> opened_elsewhere{false};
    const Qt::HANDLE main_thread = QThread::currentThreadId();
    BackgroundIntegrityCheck check([&](Error& e, const std::function<bool()>&) {
        opened_elsewhere = QThread::currentThreadId() != main_thread;
        return Connection::open(path, {}, e);
    });
    QSignalSpy spy(&check, &BackgroundIntegrityCheck::finished);
    check.start();
    EXPECT_TRUE(check.running());
    ASSERT_TRUE(spy.wait(20000));
    EXPECT_FALSE(check.running());
    EXPECT_TRUE(opened_elsewhere);
    EXPECT_EQ(outcome_of(spy), IntegrityOutcome::Damaged);
    EXPECT_EQ(spy.size(), 1);
}

TEST(BackgroundIntegrityCheck, DestroyingItStopsAWaitingCheck)
{
    testsupport::TempDir dir;
    const QString path = catalogue(dir, 10);
    std::atomic<bool> saw_stop{false};
    {
        BackgroundIntegrityCheck check(waiting_for_stop(path, &saw_stop));
        check.start();
        EXPECT_TRUE(check.running());
    }
    EXPECT_TRUE(saw_stop);
}

TEST(BackgroundIntegrityCheck, AConnectionThatCannotOpenIsReported)
{
    BackgroundIntegrityCheck check([](Error& e, const std::function<bool()>&) {
        e = make_error(ErrorKind::FileAccess, QStringLiteral("Path/File access error: gone"));
        return std::unique_ptr<Connection>();
    });
    QSignalSpy spy(&check, &BackgroundIntegrityCheck::finished);
    check.start();
    ASSERT_TRUE(spy.wait(20000));
    const auto r = spy.front().front().value<IntegrityResult>();
    EXPECT_EQ(r.outcome, IntegrityOutcome::Failed);
    EXPECT_TRUE(integrity_problem(r).contains(QStringLiteral("gone")));
}

TEST(BackgroundIntegrityCheck, ReportsGrowingProgressAndAStopAsStopped)
{
    testsupport::TempDir dir;
    const QString path = catalogue(dir, 3000);
    BackgroundIntegrityCheck check([&](Error& e, const std::function<bool()>&) { return Connection::open(path, {}, e); });
    QSignalSpy progress(&check, &BackgroundIntegrityCheck::progress);
    QSignalSpy finished(&check, &BackgroundIntegrityCheck::finished);
    check.start();
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(outcome_of(finished), IntegrityOutcome::Passed);
    ASSERT_FALSE(progress.isEmpty());
    int last = 0;
    for (const QList<QVariant>& reported : progress) {
        const int permille = reported.front().toInt();
        EXPECT_GE(permille, last);
        EXPECT_LE(permille, 1000);
        last = permille;
    }
    EXPECT_GT(last, 0);

    // Stopped while its opener waits: Stopped, once, and no longer running.
    BackgroundIntegrityCheck held(waiting_for_stop(path));
    QSignalSpy stopped(&held, &BackgroundIntegrityCheck::finished);
    held.start();
    held.stop();
    ASSERT_TRUE(stopped.wait(20000));
    EXPECT_EQ(outcome_of(stopped), IntegrityOutcome::Stopped);
    EXPECT_FALSE(held.running());
    QTest::qWait(50);
    EXPECT_EQ(stopped.size(), 1);
}
