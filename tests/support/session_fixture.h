#pragma once

#include "core/catalogue_session.h"

#include <gtest/gtest.h>

#include <memory>

namespace testsupport {

// Opens a catalogue in a session as the window's opening does, without a
// window: the file, its password, its connection, then its count, folders
// and page 1 read.
inline void open_in_session(mosswick::CatalogueSession& session, const QString& path,
                            std::unique_ptr<mosswick::store::Connection> conn, const QString& password = {},
                            bool read_only = false)
{
    ASSERT_TRUE(conn);
    session.begin_open(path, read_only);
    session.set_password(password);
    session.file_opened();
    session.attach_connection(std::move(conn));
    const mosswick::store::Error error = session.read_catalogue();
    ASSERT_FALSE(error) << error.text.toStdString();
}

} // namespace testsupport
