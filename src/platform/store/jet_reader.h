#pragma once

// The reading side of the Access conversion, run as a program of its own
// (mosswick-jet-reader): it opens a Jet 4.0 file with libmdb and streams the
// picture table to the converting program, which checks every message.
//
// Messages, on a channel of their own (libmdb prints to stdout and stderr):
//   'C' u32 columns            the table is ours; rows follow
//   'R' value * columns        one row
//   'Z' u64 rows               the end
//   'E' u32 failure, text      refused or unreadable
// A value is a tag byte: 0 Null, 1 integer (i64), 2 text (u32 length, UTF-8),
// 3 bytes (u32 length, bytes). Numbers are in the machine's byte order.

#include <cstdint>

namespace mosswick::store::jet_reader {

enum : unsigned char { msg_columns = 'C', msg_row = 'R', msg_end = 'Z', msg_error = 'E' };
enum : unsigned char { val_null = 0, val_int = 1, val_text = 2, val_bytes = 3 };
enum Failure : std::uint32_t { failure_damaged = 1, failure_foreign = 2 };

// The program's file name, beside the programs that convert.
inline constexpr const char* k_program_name = "mosswick-jet-reader";

// What the reader may take: address space, and bytes of what libmdb prints
// (a damaged file can make it warn on every page).
inline constexpr std::uint64_t k_memory_limit = std::uint64_t(3) << 30;
inline constexpr std::uint64_t k_log_limit = std::uint64_t(1) << 20;

// Streams the file at path as messages into out_fd. Returns 0 when every
// message is written; ends the process with status 0 after an 'E' message,
// and with 3 when the converting program has gone.
int read_jet_file(const char* path, int out_fd);

} // namespace mosswick::store::jet_reader
