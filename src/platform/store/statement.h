#pragma once

#include "platform/store/store_error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVariant>

#include <initializer_list>

struct sqlite3;
struct sqlite3_stmt;

namespace mosswick::store {

// A prepared statement. Values are always bound, never spliced into SQL.
// An invalid QVariant binds NULL; a QString (even an empty one) binds text.
class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // False when the SQL did not compile; error() says why.
    bool valid() const { return m_stmt != nullptr; }

    // Binds parameter index (1-based).
    Statement& bind(int index, const QVariant& value);
    // Resets the statement and binds the values to parameters 1..n.
    Statement& bind_all(std::initializer_list<QVariant> values);
    Statement& bind_list(const QVariantList& values);

    // Runs one step; true when a row is available. On failure returns false
    // and error() is set.
    bool step();
    // Runs to completion; returns the error, if any.
    Error run();
    // Makes the statement ready to run again (bindings kept).
    void reset();

    const Error& error() const { return m_error; }

    int column_count() const;
    bool is_null(int column) const;
    QVariant value(int column) const;   // NULL gives an invalid QVariant
    QString text(int column) const;
    qint64 integer(int column) const;
    QByteArray blob(int column) const;
    // The column's text as UTF-8, valid until the next step or reset; empty for Null.
    QByteArrayView utf8(int column) const;

private:
    void set_engine_error();

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    Error m_error;
    Error m_bind_error;   // set by a failed bind until the next bind_all/bind_list
};

} // namespace mosswick::store
