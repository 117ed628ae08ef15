#pragma once

namespace mosswick {

// What a part needs done to the open catalogue before it goes on, each
// answered by whether it was done: the database page copies the file only
// once nothing holds it open, the maintenance tab goes on only once the
// catalogue shows its rows again. The catalogue's life answers; the parts
// get it at construction and stop with their message on a no.
class CatalogueAccess {
public:
    virtual ~CatalogueAccess() = default;
    // The catalogue's connection closed and its check stopped, the window
    // still showing it (its file is about to be copied): true when nothing
    // of this program holds the file open.
    virtual bool release_connection() = 0;
    // The catalogue closed, the window as with nothing open: true when
    // nothing of this program holds its file open.
    virtual bool close_catalogue() = 0;
    // The open catalogue read again from its start and page 1 shown (after
    // a pass that changed its rows): true when it is shown; false when the
    // reading failed, which closed it and said why.
    virtual bool reopen() = 0;
};

} // namespace mosswick
