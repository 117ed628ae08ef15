#pragma once

#include "maintenance/renumber.h"
#include "platform/store/connection.h"

#include <QString>

#include <functional>
#include <optional>

// The edits of catalogue rows by number: delete a page, a picture or
// everything, exchange two pictures, move one picture to another number.
// Each edit is one transaction: it is done completely or not at all.
// Picture and movie files are never touched.
namespace mosswick::maintenance {

// The renumbering that closes the numbering after an edit: started() once
// before it begins, progress() after each row (false stops it, and with it
// the whole edit).
struct RenumberHooks {
    std::function<void()> started;
    RenumberProgress progress;
};

// A picture named by its number as typed, or by a row of the management
// grid, which must still hold the same page and file name.
struct PictureRef {
    qint64 numpic = 0;
    bool from_grid = false;
    std::optional<qint64> numpage;   // the grid's page; nullopt for an empty cell
    QString picfile;                 // the grid's file name ("" for Null)

    static PictureRef number(qint64 n) { return {n, false, std::nullopt, {}}; }
    static PictureRef grid_row(qint64 numpic, std::optional<qint64> numpage, const QString& picfile)
    {
        return {numpic, true, numpage, picfile};
    }
};

// True when a picture's row, read now, still holds the page (Null: an
// invalid value) and the file name the grid showed; always for a typed number.
bool still_as_shown(const PictureRef& ref, const QVariant& numpage, const QString& picfile);

enum class EditOutcome {
    Done,
    Missing,         // the page or the (first) picture is not in the catalogue
    SecondMissing,   // the second picture of an exchange or an insert
    Stale,           // a grid row no longer shows the catalogue's state
    Stopped,         // the closing renumbering was stopped: nothing changed
    Failed,          // the store refused: nothing changed
};

struct EditResult {
    EditOutcome outcome = EditOutcome::Done;
    // How the closing renumbering ended, when it ran.
    std::optional<RenumberOutcome> renumbering;
    store::Error error;
};

// Deletes every row; no renumbering.
EditResult delete_all_pictures(store::Connection& conn);

// Deletes the rows of a page, then renumbers keeping the order.
EditResult delete_page(store::Connection& conn, qint64 page, const RenumberHooks& hooks);

// Deletes the rows of the page a grid row is on, then renumbers keeping the order.
EditResult delete_page_of(store::Connection& conn, const PictureRef& row, const RenumberHooks& hooks);

// Deletes one picture's row, then renumbers keeping the order.
EditResult delete_picture(store::Connection& conn, const PictureRef& picture, const RenumberHooks& hooks);

// Swaps the numbers and pages of two pictures; no renumbering. Exchanging a
// picture with itself changes nothing.
EditResult exchange_pictures(store::Connection& conn, const PictureRef& a, const PictureRef& b);

// Moves picture moving to the place of picture place, shifting the pictures
// between them by one, then renumbers keeping the order.
EditResult insert_picture(store::Connection& conn, const PictureRef& moving, const PictureRef& place,
                          const RenumberHooks& hooks);

} // namespace mosswick::maintenance
