#pragma once

// The Access catalogues kept in tests/data/jet and the values their rows
// hold by the rules of that folder's README.

#include "platform/store/connection.h"
#include "support/scripted_dialogs.h"
#include "support/test_support.h"

#include <QString>

namespace testsupport {

// Copies a fixture (for example "jet4-full.mdb") into the folder under the
// given name (the fixture's own when empty); returns its path.
QString copy_jet_fixture(const TempDir& dir, const QString& fixture, const QString& name = {});

// A copy of jet4-password.mdb whose header holds another database password
// (up to 20 characters), masked as Access masks it.
QString copy_jet_fixture_with_password(const TempDir& dir, const QString& password, const QString& name = {});

// Checks every value of every row of a converted catalogue against the rules.
void expect_jet_rows(mosswick::store::Connection& conn, int rows, int columns);
// The same for the catalogue at path, opened with the password.
void expect_jet_rows(const QString& path, int rows, int columns, const QString& password = {});

// The message boxes shown, without the page view's notes about picture files
// that the fixtures do not come with.
QStringList questions_asked(const ScriptedDialogs& dialogs);

// True when the file starts like a plain SQLite database.
bool is_plain_sqlite(const QString& path);

} // namespace testsupport
