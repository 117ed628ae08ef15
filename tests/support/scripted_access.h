#pragma once

// The catalogue's life as a part on its own meets it: each request counted
// and answered as the test says. A yes does to the session what the
// window's would: the connection really closed, the catalogue really read.

#include "core/catalogue_access.h"
#include "core/catalogue_session.h"

#include <functional>

namespace testsupport {

class ScriptedAccess : public mosswick::CatalogueAccess {
public:
    explicit ScriptedAccess(mosswick::CatalogueSession& session) : m_session(session) {}

    bool release_connection() override { return answer(released, [this] { m_session.take_connection(); }); }
    bool close_catalogue() override
    {
        return answer(closed, [this] {
            m_session.take_connection();
            m_session.close_catalogue();
        });
    }
    bool reopen() override
    {
        bool read = false;
        return answer(reopened, [&] { read = !m_session.read_catalogue(); }) && read;
    }

    // Every request is refused, with nothing done.
    bool refuse = false;
    // Runs as a request comes, before it is answered: what the part did before it asked.
    std::function<void()> on_request;
    int released = 0;
    int closed = 0;
    int reopened = 0;

private:
    bool answer(int& count, const std::function<void()>& done)
    {
        ++count;
        if (on_request)
            on_request();
        if (refuse)
            return false;
        done();
        return true;
    }

    mosswick::CatalogueSession& m_session;
};

} // namespace testsupport
