#include "support/jet_fixtures.h"

#include "platform/store/jet_convert.h"
#include "platform/store/schema.h"
#include "platform/store/statement.h"

#include <QFile>
#include <QVariantList>

#include <gtest/gtest.h>

#include <array>

namespace testsupport {

namespace {

const std::array<QString, 4> k_words{QStringLiteral("Café au lait"), QStringLiteral("Straße in München"),
                                     QStringLiteral("Москва — € 5"), QStringLiteral("plain note")};

QString data_file(const QString& name)
{
    return QStringLiteral(MOSSWICK_TEST_DATA_DIR "/jet/") + name;
}

// Text as the RTF of the fixtures spells it: Latin-1 letters as \'xx, the
// rest of Unicode as \uN?.
QString rtf_escaped(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            out += c;
        else if (c.unicode() < 0x100)
            out += QStringLiteral("\\'%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += QStringLiteral("\\u%1?").arg(c.unicode());
    }
    return out;
}

// A note of the fixtures: Comic Sans MS, red, bold.
QString rtf_note(const QString& visible)
{
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Comic Sans MS;}}\r\n"
                          "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
                          "\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs20 ") +
           rtf_escaped(visible) + QStringLiteral("\\cf0\\b0\\par\r\n}\r\n");
}

// The values of row i (numpic = i) of a fixture with 5, 7 or 9 columns.
QVariantList expected_jet_row(int i, int columns)
{
    const QString word = k_words[size_t(i % 4)];
    const QString numbered = word + u' ' + QString::number(i);
    QVariantList row;
    row << (i % 4 == 2 ? QVariant(QStringLiteral("movie%1.avi").arg(i, 3, 10, QLatin1Char('0'))) : QVariant());
    row << QStringLiteral("pic%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
    if (i % 5 == 0)
        row << QVariant();
    else if (i % 4 == 3)
        row << QStringLiteral("plain text note %1").arg(i);
    else
        row << rtf_note(numbered);
    row << qint64((i + 5) / 6) << qint64(i);
    if (columns >= 7) {
        row << (i % 3 == 0 ? QVariant() : QVariant(QStringLiteral("ref ") + numbered));
        row << (i % 2 == 0 ? QVariant(rtf_note(QStringLiteral("additional %1").arg(i))) : QVariant());
    }
    if (columns >= 9) {
        // The picture stored in the fixtures' dbpic column.
        const bool stored = i % 3 == 1;
        row << (stored ? QVariant(read_all(data_file(QStringLiteral("stored-picture.jpg")))) : QVariant());
        row << (stored ? QVariant(qint64(1)) : QVariant());
    }
    return row;
}

} // namespace

QString copy_jet_fixture(const TempDir& dir, const QString& fixture, const QString& name)
{
    const QString path = dir.file(name.isEmpty() ? fixture : name);
    EXPECT_TRUE(QFile::copy(data_file(fixture), path)) << fixture.toStdString();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return path;
}

QString copy_jet_fixture_with_password(const TempDir& dir, const QString& password, const QString& name)
{
    // The header stores the password's UTF-16 units XORed with a key stream
    // fixed for the file; XORing the old units and the new ones into the
    // stored bytes swaps one password for the other under the same mask.
    constexpr qsizetype k_password_at = 0x42;
    constexpr qsizetype k_password_bytes = 40;
    const QString path = copy_jet_fixture(dir, QStringLiteral("jet4-password.mdb"), name);
    const QString old_password = mosswick::store::read_jet_header(path).password;
    auto units = [](const QString& text) {
        QByteArray bytes(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        bytes.resize(k_password_bytes, '\0');
        return bytes;
    };
    const QByteArray from = units(old_password);
    const QByteArray to = units(password);
    QByteArray file = read_all(path);
    for (qsizetype i = 0; i < k_password_bytes; ++i)
        file[k_password_at + i] = char(file[k_password_at + i] ^ from[i] ^ to[i]);
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(file);
    out.close();
    EXPECT_EQ(mosswick::store::read_jet_header(path).password, password);
    return path;
}

void expect_jet_rows(mosswick::store::Connection& conn, int rows, int columns)
{
    using namespace mosswick::store;
    ASSERT_EQ(conn.column_count(), columns);
    QStringList names;
    for (int c = 0; c < columns; ++c)
        names << QLatin1String(column_defs()[size_t(c)].name);
    Statement st = conn.prepare(QStringLiteral("SELECT %1 FROM demopicture ORDER BY numpic").arg(names.join(u',')));
    int i = 0;
    while (st.step()) {
        ++i;
        const QVariantList want = expected_jet_row(i, columns);
        for (int c = 0; c < columns; ++c) {
            const QVariant got = st.value(c);
            const QVariant& expected = want[c];
            SCOPED_TRACE(QStringLiteral("row %1, column %2").arg(i).arg(names[c]).toStdString());
            ASSERT_EQ(got.isValid(), expected.isValid());
            if (!expected.isValid())
                continue;
            if (expected.typeId() == QMetaType::QByteArray) {
                EXPECT_EQ(got.typeId(), QMetaType::QByteArray);
                EXPECT_EQ(got.toByteArray(), expected.toByteArray());
            } else if (expected.typeId() == QMetaType::LongLong) {
                EXPECT_EQ(got.toLongLong(), expected.toLongLong());
                EXPECT_NE(got.typeId(), QMetaType::QString);
            } else {
                EXPECT_EQ(got.typeId(), QMetaType::QString);
                EXPECT_EQ(got.toString(), expected.toString());
            }
        }
    }
    EXPECT_TRUE(st.error().ok()) << st.error().text.toStdString();
    EXPECT_EQ(i, rows);
}

void expect_jet_rows(const QString& path, int rows, int columns, const QString& password)
{
    mosswick::store::Error e;
    const auto conn = mosswick::store::Connection::open(path, password, e);
    ASSERT_TRUE(conn) << e.text.toStdString();
    expect_jet_rows(*conn, rows, columns);
}

QStringList questions_asked(const ScriptedDialogs& dialogs)
{
    QStringList out;
    for (const QString& m : dialogs.messages())
        if (m != QLatin1String("Picture file not found."))
            out << m;
    return out;
}

bool is_plain_sqlite(const QString& path)
{
    return read_all(path).startsWith(QByteArrayLiteral("SQLite format 3\0"));
}

} // namespace testsupport
