#include "platform/store/jet_reader.h"

#include "platform/store/table_layout.h"

#include <mdbtools.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

namespace mosswick::store::jet_reader {

namespace {

class MessageWriter {
public:
    explicit MessageWriter(int fd) : m_fd(fd) {}

    void put(const void* data, size_t n)
    {
        const char* p = static_cast<const char*>(data);
        if (m_used + n > sizeof m_buf)
            flush();
        if (n >= sizeof m_buf) {
            write_all(p, n);
            return;
        }
        std::memcpy(m_buf + m_used, p, n);
        m_used += n;
    }
    void u8(unsigned char v) { put(&v, 1); }
    void u32(std::uint32_t v) { put(&v, 4); }
    void i64(std::int64_t v) { put(&v, 8); }
    void bytes(unsigned char tag, const char* p, size_t n)
    {
        u8(tag);
        u32(std::uint32_t(n));
        put(p, n);
    }
    void flush()
    {
        write_all(m_buf, m_used);
        m_used = 0;
    }

private:
    void write_all(const char* p, size_t n)
    {
        while (n > 0) {
            const ssize_t w = ::write(m_fd, p, n);
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                _exit(3);   // the converting program is gone
            p += w;
            n -= size_t(w);
        }
    }

    int m_fd;
    char m_buf[1 << 16];
    size_t m_used = 0;
};

// Says why and ends the process: whatever libmdb holds goes with it.
[[noreturn]] void fail(MessageWriter& out, Failure failure, const std::string& text)
{
    out.u8(msg_error);
    out.u32(failure);
    out.bytes(val_text, text.data(), text.size());
    out.flush();
    _exit(0);
}

// The Jet types a column of ours may have, by what its values are.
bool type_fits(Affinity affinity, int type)
{
    switch (affinity) {
    case Affinity::Text: return type == MDB_TEXT || type == MDB_MEMO;
    case Affinity::Integer: return type == MDB_LONGINT || type == MDB_INT || type == MDB_BYTE;
    case Affinity::Blob: return type == MDB_OLE;
    case Affinity::Numeric:
    case Affinity::Real: return false;
    }
    return false;
}

bool is_system_object(MdbCatalogEntry* entry)
{
    return mdb_is_system_table(entry) || g_ascii_strncasecmp(entry->object_name, "MSys", 4) == 0;
}

// Text and memo values in UTF-8, through libmdb's own conversion. The buffer
// libmdb converts into is sized for the value, so nothing is cut short.
void send_text(MessageWriter& out, MdbHandle* mdb, const MdbField& field, int type)
{
    size_t stored = size_t(std::max(field.siz, 0));
    if (type == MDB_MEMO && field.siz >= MDB_MEMO_OVERHEAD) {
        const std::uint32_t memo = std::uint32_t(mdb_get_int32(mdb->pg_buf, field.start));
        const unsigned flags = memo >> 24;
        if (flags != 0x80 && flags != 0x40 && flags != 0)
            fail(out, failure_damaged, "a note has an unknown storage form");
        stored = std::max<size_t>(stored, std::max<size_t>(memo & 0x00ffffffu, MDB_PGSIZE));
    }
    // UTF-16 code units become at most three UTF-8 bytes; compressed ones two.
    const size_t room = stored * 2 + 64;
    mdb_set_bind_size(mdb, room);
    char* text = mdb_col_to_string(mdb, mdb->pg_buf, field.start, type, field.siz);
    if (!text)
        fail(out, failure_damaged, "a text could not be read");
    const size_t n = std::strlen(text);
    if (n + 1 >= room) {
        g_free(text);
        fail(out, failure_damaged, "a note is longer than its stored size allows");
    }
    out.bytes(val_text, text, n);
    g_free(text);
}

void send_picture(MessageWriter& out, MdbHandle* mdb, MdbColumn* col, const MdbField& field, std::string& blob,
                  char* chunk)
{
    blob.clear();
    if (field.siz < MDB_MEMO_OVERHEAD) {
        out.bytes(val_bytes, blob.data(), 0);
        return;
    }
    unsigned char header[MDB_MEMO_OVERHEAD];
    std::memcpy(header, mdb->pg_buf + field.start, MDB_MEMO_OVERHEAD);
    const std::uint32_t length = std::uint32_t(mdb_get_int32(header, 0)) & 0x3fffffffu;
    col->bind_ptr = chunk;
    size_t n = mdb_ole_read(mdb, col, header, MDB_PGSIZE * 2);
    blob.append(chunk, n);
    while ((n = mdb_ole_read_next(mdb, col, header)) > 0) {
        blob.append(chunk, n);
        if (blob.size() > length)
            break;
    }
    col->bind_ptr = nullptr;
    if (blob.size() != length)
        fail(out, failure_damaged, "a stored picture is incomplete");
    out.bytes(val_bytes, blob.data(), blob.size());
}

} // namespace

int read_jet_file(const char* path, int out_fd)
{
    MessageWriter out(out_fd);
    MdbHandle* mdb = mdb_open(path, MDB_NOFLAGS);
    if (!mdb)
        fail(out, failure_damaged, "the Access reader cannot open it");
    if (mdb->f->jet_version != MDB_VER_JET4)
        fail(out, failure_damaged, "it is not a Jet 4.0 file");
    if (!mdb_read_catalog(mdb, MDB_ANY))
        fail(out, failure_damaged, "its list of tables cannot be read");

    MdbCatalogEntry* ours = nullptr;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE && entry->object_type != MDB_LINKED_TABLE)
            continue;
        if (entry->object_type == MDB_TABLE && is_system_object(entry))
            continue;
        if (entry->object_type == MDB_TABLE && g_ascii_strcasecmp(entry->object_name, k_table) == 0 && !ours) {
            ours = entry;
            continue;
        }
        fail(out, failure_foreign, std::string("it holds the table ") + entry->object_name);
    }
    if (!ours)
        fail(out, failure_foreign, "it has no table demopicture");
    MdbTableDef* table = mdb_read_table(ours);
    if (!table || !mdb_read_columns(table))
        fail(out, failure_damaged, "the table demopicture cannot be read");
    const int n = int(table->num_cols);
    if (!known_column_count(n))
        fail(out, failure_foreign, "its table demopicture has " + std::to_string(n) + " columns");
    std::vector<MdbColumn*> cols(static_cast<size_t>(n), nullptr);
    for (int c = 0; c < n; ++c) {
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
        if (g_ascii_strcasecmp(col->name, column_defs()[size_t(c)].name) != 0 || !type_fits(column_defs()[size_t(c)].affinity, col->col_type))
            fail(out, failure_foreign,
                 std::string("column ") + std::to_string(c + 1) + " of its table demopicture is " + col->name);
        cols[size_t(c)] = col;
    }
    out.u8(msg_columns);
    out.u32(std::uint32_t(n));

    std::vector<MdbField> fields(static_cast<size_t>(n));
    std::vector<char> chunk(MDB_PGSIZE * 2);
    std::string blob;
    std::uint64_t rows = 0;
    mdb_rewind_table(table);
    while (mdb_fetch_row(table)) {
        int start = 0;
        size_t size = 0;
        if (table->cur_row == 0 || mdb_find_row(mdb, int(table->cur_row) - 1, &start, &size) != 0)
            fail(out, failure_damaged, "a row cannot be found again");
        start &= 0x1fff;
        if (mdb_crack_row(table, start, size, fields.data()) < n)
            fail(out, failure_damaged, "a row cannot be read");
        out.u8(msg_row);
        for (int c = 0; c < n; ++c) {
            const MdbField* field = nullptr;
            for (const MdbField& f : fields)
                if (f.colnum == c)
                    field = &f;
            MdbColumn* col = cols[size_t(c)];
            if (!field || field->is_null) {
                out.u8(val_null);
                continue;
            }
            if (field->start < 0 || field->siz < 0 || field->start + field->siz > MDB_PGSIZE)
                fail(out, failure_damaged, "a value lies outside its page");
            switch (col->col_type) {
            case MDB_LONGINT:
                out.u8(val_int);
                out.i64(std::int32_t(std::uint32_t(mdb_get_int32(mdb->pg_buf, field->start))));
                break;
            case MDB_INT:
                out.u8(val_int);
                out.i64(std::int16_t(std::uint16_t(mdb_get_int16(mdb->pg_buf, field->start))));
                break;
            case MDB_BYTE:
                out.u8(val_int);
                out.i64(mdb_get_byte(mdb->pg_buf, field->start));
                break;
            case MDB_OLE: send_picture(out, mdb, col, *field, blob, chunk.data()); break;
            default: send_text(out, mdb, *field, col->col_type); break;
            }
        }
        ++rows;
    }
    // Pages libmdb skips as unreadable would lose rows without a word.
    if (rows != table->num_rows)
        fail(out, failure_damaged,
             std::to_string(rows) + " of its " + std::to_string(table->num_rows) + " rows can be read");
    out.u8(msg_end);
    out.put(&rows, 8);
    out.flush();
    mdb_free_tabledef(table);
    mdb_close(mdb);
    return 0;
}

} // namespace mosswick::store::jet_reader
