#pragma once

#include <QByteArrayView>
#include <QGuiApplication>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Documents and fonts want an application object; one for the whole run.
inline void start_application(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
}

// Ends the run as a crash, so that libFuzzer keeps the input.
[[noreturn]] inline void fail(const char* what, const QString& a, const QString& b)
{
    std::fprintf(stderr, "%s\n--- first ---\n%s\n--- second ---\n%s\n", what, qPrintable(a), qPrintable(b));
    std::abort();
}

// The input's bytes as UTF-16 code units, to reach what a stored note (a
// string, not bytes) can hold: lone surrogates, any code point.
inline QString as_utf16(const std::uint8_t* data, std::size_t size)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(data), qsizetype(size / 2));
}
