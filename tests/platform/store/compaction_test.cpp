#include "platform/store/compaction.h"

#include "support/catalogue_builder.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace mosswick;
using testsupport::CatalogueSpec;
using testsupport::TempDir;

TEST(CompactionTempPath, BesideTheCatalogueUnlessThatIsTheCatalogue)
{
    EXPECT_EQ(store::compaction_temp_path("/home/u/pics/catalogue.mdb"), "/home/u/pics/NewCmpctDB.mdb");
    // The root folder is joined without a doubled separator.
    EXPECT_EQ(store::compaction_temp_path("/catalogue.mdb"), "/NewCmpctDB.mdb");
    // A catalogue called NewCmpctDB.mdb must never be taken for the leftover.
    EXPECT_EQ(store::compaction_temp_path("/home/u/NewCmpctDB.mdb"), "/home/u/NewCmpctDB.tmp.mdb");
    EXPECT_EQ(store::compaction_temp_path("/home/u/./NewCmpctDB.mdb"), "/home/u/NewCmpctDB.tmp.mdb");
}

TEST(CompactionProtection, KeepsTheScramblingOfTheFile)
{
    TempDir dir;
    const CatalogueSpec plain{.pictures = 2, .schema = store::Schema::Light, .protection = {}};
    const QString plain_path = testsupport::make_catalogue(dir.path(), plain);
    EXPECT_FALSE(store::compaction_protection(plain_path).encrypt);
    EXPECT_TRUE(store::compaction_protection(plain_path).password.isEmpty());

    CatalogueSpec scrambled = plain;
    scrambled.name = "scrambled.mdb";
    scrambled.protection.encrypt = true;
    const QString scrambled_path = testsupport::make_catalogue(dir.path(), scrambled);
    const store::Protection kept = store::compaction_protection(scrambled_path);
    EXPECT_TRUE(kept.encrypt);
    EXPECT_TRUE(kept.password.isEmpty());

    // Compacted that way, the copy opens without a password and is still scrambled.
    const QString temp = store::compaction_temp_path(scrambled_path);
    ASSERT_TRUE(store::Connection::compact(scrambled_path, {}, kept, temp).ok());
    EXPECT_EQ(store::probe_file(scrambled_path), store::FileProbe::MaybeEncrypted);
    store::Error e;
    auto conn = store::Connection::open(scrambled_path, {}, e);
    ASSERT_TRUE(conn) << e.text.toStdString();
    EXPECT_EQ(conn->record_count(e), 2);
}
