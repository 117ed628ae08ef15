#pragma once

// The catalogue's life as a part alone meets it: each request counted and
// answered as the test says; a yes does to the session what the window's
// would (the connection closed, the catalogue read again).

#include "core/catalogue_access.h"
#include "core/catalogue_session.h"

#include <functional>

namespace testsupport {

struct ScriptedAccess : mosswick::CatalogueAccess {
    explicit ScriptedAccess(mosswick::CatalogueSession& s) : session(s) {}

    bool release_connection() override { return asked(released) && (session.take_connection(), true); }
    bool close_catalogue() override { return asked(closed) && (session.take_connection(), session.close_catalogue(), true); }
    bool reopen() override { return asked(reopened) && !session.read_catalogue(); }

    mosswick::CatalogueSession& session;
    bool refuse = false;                // every request refused, with nothing done
    std::function<void()> on_request;   // runs as a request comes, before it is answered
    int released = 0, closed = 0, reopened = 0;

private:
    bool asked(int& count)
    {
        ++count;
        if (on_request)
            on_request();
        return !refuse;
    }
};

} // namespace testsupport
