#pragma once

#include "platform/store/connection.h"
#include "search/criteria.h"
#include "search/grid_model.h"

#include <QByteArray>
#include <QVariant>

#include <functional>
#include <optional>

// The queries behind the search tab's grids and details panel. Every value
// is bound; the grids list the rows and read them as they are shown.
namespace mosswick::search {

inline constexpr int k_search_columns = 4;          // number, page, movie mark, file name or reference
inline constexpr int k_import_export_columns = 5;   // number, page, movie mark, IN/OUT, file name

// The column's name when the catalogue has it, else "NULL" (light catalogues
// have neither reference nor additional note nor stored pictures).
QString column_or_null(const store::Connection& conn, int column);

// Lists the query's rows at once; each row's `columns` columns are read as
// text (Null as "") when first asked for.
GridRows read_rows(store::Connection& conn, const BoundQuery& query, int columns, store::Error& error);

// Every record with its reference, by number and page or by reference
// (case-folded, ties by exact text, then number).
BoundQuery reference_list_query(const store::Connection& conn, bool order_by_reference);

// Every record with its movie mark, "IN" (picture stored) or "OUT", and file
// name, by number and page.
BoundQuery import_export_query(const store::Connection& conn);

// Which note fields the note search reads.
enum class NoteFields { Note, AddNote, Both };

struct NoteSearchRequest {
    QString text;                    // empty: every record matches
    NoteFields fields = NoteFields::Note;
    bool order_by_name = false;      // scan order: file name, else number and page
};

struct NoteSearchResult {
    GridRows rows{k_search_columns};
    qint64 scanned = 0;      // records looked at
    bool stopped = false;    // before_record asked to stop
    store::Error error;
};

// True when a stored note (RTF, plain text or Null) shows the text,
// ignoring case; an empty text matches every note, a Null note only that.
bool note_matches(const QVariant& note, const QString& text);

// Walks every record in scan order and lists those whose chosen fields show
// the text. before_record(i) runs before record i (from 0) and returns false
// to stop there; the rows found so far are kept.
NoteSearchResult run_note_search(store::Connection& conn, const NoteSearchRequest& request,
                                 const std::function<bool(qint64 index)>& before_record);

// One record as the details panel shows it; Null fields are invalid variants.
struct RecordDetails {
    QVariant numpic, numpage, movfile, picfile, note, reference, addnote, inoutpic;
    QByteArray dbpic;
};

// The record with a picture number and page; nullopt when there is none.
std::optional<RecordDetails> read_record(store::Connection& conn, qint64 numpic, qint64 numpage,
                                         store::Error& error);

// A number as a grid shows it (an optional sign and digits); nullopt else.
std::optional<qint64> grid_number(const QString& text);

// The text a grid shows for a field: "" for Null.
inline QString grid_text(const QVariant& value)
{
    return value.isValid() ? value.toString() : QString();
}

} // namespace mosswick::search
