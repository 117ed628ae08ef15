// The layers of src/ are kept apart by their includes and their link lines:
// the includes checked over the real tree, and shown to catch each kind of
// crossing on a small made-up one; the link lines as the build resolved them.
#include "support/test_support.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <utility>
#include <vector>

namespace {

// One include that breaks a rule: the including file (relative to the tree's
// root) and the header as it is written.
struct Crossing {
    QString file;
    QString header;
    bool operator==(const Crossing&) const = default;
};

void PrintTo(const Crossing& c, std::ostream* os)
{
    *os << c.file.toStdString() << " includes " << c.header.toStdString();
}

enum class Layer { Platform, Core, Part, Frame, Programs };

Layer layer_of(const QString& folder)
{
    if (folder == u"platform")
        return Layer::Platform;
    if (folder == u"core")
        return Layer::Core;
    if (folder == u"frame")
        return Layer::Frame;
    if (folder == u"programs")
        return Layer::Programs;
    return Layer::Part;   // every other folder: one part, or a program's own pieces
}

// Whether a file of the top folder `from` may include a header of `to`, and
// a library or program of `from` link a library of `to`: platform < core <
// parts < frame < programs, and a part sees no other part.
bool may_use(const QString& from, const QString& to)
{
    if (from == to)
        return true;
    switch (layer_of(from)) {
    case Layer::Platform: return false;
    case Layer::Core: return layer_of(to) == Layer::Platform;
    case Layer::Part: return layer_of(to) == Layer::Platform || layer_of(to) == Layer::Core;
    case Layer::Frame: return layer_of(to) != Layer::Programs;
    case Layer::Programs: return true;
    }
    return false;
}

struct Include {
    bool angled = false;
    QString header;
};

std::vector<Include> includes_of(const QString& path)
{
    static const QRegularExpression line(QStringLiteral(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])"),
                                         QRegularExpression::MultilineOption);
    QFile f(path);
    std::vector<Include> out;
    if (!f.open(QIODevice::ReadOnly))
        return out;
    const QString text = QString::fromUtf8(f.readAll());
    for (auto it = line.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out.push_back({m.captured(1) == u"<", m.captured(2)});
    }
    return out;
}

// The file an include names inside the tree (beside the includer first, as
// the compiler looks for quoted names, then from the root); empty when it
// is not a file of the tree.
QString resolve(const QDir& root, const QString& includer, const Include& inc)
{
    QStringList candidates;
    if (!inc.angled)
        candidates << QFileInfo(includer).dir().filePath(inc.header);
    candidates << root.filePath(inc.header);
    for (const QString& c : candidates) {
        const QString clean = QDir::cleanPath(c);
        if (QFileInfo(clean).isFile() && !root.relativeFilePath(clean).startsWith(u"../"))
            return clean;
    }
    return {};
}

QString top_folder(const QDir& root, const QString& file)
{
    return root.relativeFilePath(file).section(u'/', 0, 0);
}

QStringList sources_under(const QDir& root)
{
    QStringList out;
    QDirIterator it(root.path(), {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    out.sort();
    return out;
}

// Every include in the tree that goes where its folder's layer may not.
std::vector<Crossing> layer_crossings(const QString& root_path)
{
    const QDir root(root_path);
    std::vector<Crossing> out;
    for (const QString& file : sources_under(root)) {
        if (!root.relativeFilePath(file).contains(u'/'))
            continue;   // a file at the root belongs to no layer
        const QString from = top_folder(root, file);
        for (const Include& inc : includes_of(file)) {
            const QString target = resolve(root, file, inc);
            if (target.isEmpty())
                continue;
            if (!may_use(from, top_folder(root, target)))
                out.push_back({root.relativeFilePath(file), inc.header});
        }
    }
    return out;
}

bool is_widget_header(const QString& header, const QDir& widgets_include)
{
    return header == u"QtWidgets" || header.startsWith(u"QtWidgets/") || widgets_include.exists(header);
}

// Every widget header a source reaches, directly or through the tree's
// headers it includes: {the file that includes it, the header}.
std::vector<Crossing> widget_headers_reached(const QString& root_path, const QString& source,
                                             const QString& widgets_include)
{
    const QDir root(root_path);
    const QDir widgets(widgets_include);
    std::vector<Crossing> out;
    QSet<QString> seen{source};
    std::vector<QString> todo{source};
    while (!todo.empty()) {
        const QString file = todo.back();
        todo.pop_back();
        for (const Include& inc : includes_of(file)) {
            const QString target = resolve(root, file, inc);
            if (!target.isEmpty()) {
                if (!seen.contains(target)) {
                    seen.insert(target);
                    todo.push_back(target);
                }
            } else if (is_widget_header(inc.header, widgets)) {
                out.push_back({root.relativeFilePath(file), inc.header});
            }
        }
    }
    return out;
}

// The widget-free libraries' sources, as the build lists them: one line per
// library, "name <tab> source folder <tab> sources separated by ';'".
std::vector<std::pair<QString, QString>> widget_free_sources()
{
    std::vector<std::pair<QString, QString>> out;
    QFile f(QStringLiteral(MOSSWICK_WIDGET_FREE_SOURCES));
    if (!f.open(QIODevice::ReadOnly))
        return out;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() != 3)
            continue;
        const QDir folder(fields[1]);
        for (const QString& s : fields[2].split(u';', Qt::SkipEmptyParts))
            out.emplace_back(fields[0], QDir::cleanPath(folder.filePath(s)));
    }
    return out;
}

// What a library or program links, as the build resolved it: its source
// folder (empty for an imported library) and the libraries, by name.
struct Linked {
    QString folder;
    QStringList libraries;
};

// Every library and program of src/ and every imported library, from the
// build's lines "name <tab> source folder or - <tab> libraries separated by ';'".
std::map<QString, Linked> link_lines()
{
    std::map<QString, Linked> out;
    QFile f(QStringLiteral(MOSSWICK_LINK_LINES));
    if (!f.open(QIODevice::ReadOnly))
        return out;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() == 3)
            out[fields[0]] = {fields[1] == u"-" ? QString() : fields[1], fields[2].split(u';', Qt::SkipEmptyParts)};
    }
    return out;
}

// The libraries by which `from` comes to link `to`, from `from` on; empty
// when it does not.
QStringList link_path(const std::map<QString, Linked>& links, const QString& from, const QString& to)
{
    std::map<QString, QString> reached_from{{from, QString()}};
    std::vector<QString> todo{from};
    for (size_t i = 0; i < todo.size(); ++i) {
        const auto it = links.find(todo[i]);
        if (it == links.end())
            continue;
        for (const QString& library : it->second.libraries) {
            if (reached_from.count(library))
                continue;
            reached_from[library] = todo[i];
            if (library == to) {
                QStringList path{to};
                for (QString at = todo[i]; !at.isEmpty(); at = reached_from[at])
                    path.prepend(at);
                return path;
            }
            todo.push_back(library);
        }
    }
    return {};
}

// A made-up tree of the given files, each with its includes.
void write_tree(const testsupport::TempDir& dir, const std::vector<std::pair<QString, QString>>& files)
{
    for (const auto& [name, text] : files) {
        QDir(dir.path()).mkpath(QFileInfo(name).path());
        dir.write(name, text.toUtf8());
    }
}

} // namespace

TEST(Layers, NoFileIncludesAcrossTheLayers)
{
    for (const Crossing& c : layer_crossings(QStringLiteral(MOSSWICK_SOURCE_ROOT)))
        ADD_FAILURE() << c.file.toStdString() << " includes " << c.header.toStdString()
                      << ": platform < core < parts < frame < programs, and no part includes another";
}

TEST(Layers, WidgetFreeLibrariesReachNoWidgetHeader)
{
    const auto sources = widget_free_sources();
    QSet<QString> libraries;
    for (const auto& [library, source] : sources)
        libraries.insert(library);
    // An empty list would pass for the wrong reason.
    ASSERT_TRUE(libraries.contains(QStringLiteral("mosswick_core")));
    ASSERT_TRUE(libraries.contains(QStringLiteral("mosswick_loader_logic")));
    ASSERT_TRUE(libraries.contains(QStringLiteral("mosswick_store")));
    const QString root = QStringLiteral(MOSSWICK_SOURCE_ROOT);
    QSet<QString> reported;
    for (const auto& [library, source] : sources) {
        if (!source.startsWith(root + u'/'))
            continue;   // made by the build
        for (const Crossing& c : widget_headers_reached(root, source, QStringLiteral(MOSSWICK_QT_WIDGETS_INCLUDE))) {
            const QString what = library + u' ' + c.file + u' ' + c.header;
            if (reported.contains(what))
                continue;
            reported.insert(what);
            ADD_FAILURE() << library.toStdString() << " has no widgets, but " << c.file.toStdString()
                          << " includes " << c.header.toStdString();
        }
    }
}

TEST(Layers, NoLibraryLinksAcrossTheLayers)
{
    const std::map<QString, Linked> links = link_lines();
    // An empty or garbled list would pass for the wrong reason.
    ASSERT_TRUE(links.count(QStringLiteral("mosswick_frame")) && links.count(QStringLiteral("mosswick-enhanced")));
    ASSERT_TRUE(links.at(QStringLiteral("mosswick-enhanced")).libraries.contains(QStringLiteral("mosswick_frame")));
    const QDir root(QStringLiteral(MOSSWICK_SOURCE_ROOT));
    auto folder_of = [&](const Linked& l) {
        return l.folder.startsWith(root.path() + u'/') ? top_folder(root, l.folder) : QString();
    };
    for (const auto& [target, linked] : links) {
        const QString from = folder_of(linked);
        if (from.isEmpty())
            continue;
        for (const QString& library : linked.libraries) {
            const auto it = links.find(library);
            const QString to = it == links.end() ? QString() : folder_of(it->second);
            if (!to.isEmpty() && !may_use(from, to))
                ADD_FAILURE() << target.toStdString() << " (" << from.toStdString() << ") links "
                              << library.toStdString() << " (" << to.toStdString()
                              << "): platform < core < parts < frame < programs, and no part links another";
        }
    }
}

TEST(Layers, WidgetFreeLibrariesLinkNoWidgets)
{
    const std::map<QString, Linked> links = link_lines();
    ASSERT_TRUE(links.count(QStringLiteral("Qt6::PrintSupport")));
    ASSERT_FALSE(link_path(links, QStringLiteral("mosswick_ui"), QStringLiteral("Qt6::Widgets")).isEmpty());
    QSet<QString> libraries;
    for (const auto& [library, source] : widget_free_sources())
        libraries.insert(library);
    ASSERT_TRUE(libraries.contains(QStringLiteral("mosswick_core")));
    for (const QString& library : libraries) {
        const QStringList path = link_path(links, library, QStringLiteral("Qt6::Widgets"));
        if (!path.isEmpty())
            ADD_FAILURE() << library.toStdString() << " has no widgets, but links " << path.join(" -> ").toStdString();
    }
}

TEST(Layers, EveryKindOfCrossingIsFound)
{
    testsupport::TempDir dir;
    write_tree(dir, {
        {"platform/store/s.h", ""},
        {"platform/ui/u.cpp", "#include \"platform/store/s.h\"\n#include \"core/c.h\"\n#include \"frame/f.h\"\n"},
        {"core/c.h", "#include \"platform/store/s.h\"\n#include \"loader/l.h\"\n"},
        {"loader/l.h", "#include \"core/c.h\"\n#include \"l2.h\"\n#include \"search/x.h\"\n"},
        {"loader/l2.h", "#include <QString>\n"},
        {"search/x.h", "  #  include <loader/l.h>\n#include \"../loader/l2.h\"\n#include \"frame/f.h\"\n"},
        {"frame/f.h", "#include \"search/x.h\"\n#include \"core/c.h\"\n#include \"programs/p.h\"\n"},
        {"programs/p.h", ""},
        {"programs/main.cpp", "#include \"frame/f.h\"\n#include \"loader/l.h\"\n"},
    });
    const std::vector<Crossing> expected = {
        {"core/c.h", "loader/l.h"},
        {"frame/f.h", "programs/p.h"},
        {"loader/l.h", "search/x.h"},
        {"platform/ui/u.cpp", "core/c.h"},
        {"platform/ui/u.cpp", "frame/f.h"},
        {"search/x.h", "loader/l.h"},
        {"search/x.h", "../loader/l2.h"},
        {"search/x.h", "frame/f.h"},
    };
    EXPECT_EQ(layer_crossings(dir.path()), expected);
}

TEST(Layers, WidgetHeadersAreFoundThroughIncludedHeaders)
{
    testsupport::TempDir dir;
    write_tree(dir, {
        {"loader/rules.cpp", "#include \"loader/rules.h\"\n#include <QString>\n"},
        {"loader/rules.h", "#include \"core/base.h\"\n"},
        {"core/base.h", "#include <QLabel>\n#include <QImage>\n"},
        {"core/direct.cpp", "#include <QtWidgets/QWidget>\n#include <QtWidgets>\n"},
        // Includes that go round in a circle end.
        {"core/clean.cpp", "#include \"core/clean.h\"\n#include <QObject>\n"},
        {"core/clean.h", "#include \"core/clean.cpp\"\n"},
    });
    const QString widgets = QStringLiteral(MOSSWICK_QT_WIDGETS_INCLUDE);
    EXPECT_EQ(widget_headers_reached(dir.path(), dir.file("loader/rules.cpp"), widgets),
              (std::vector<Crossing>{{"core/base.h", "QLabel"}}));
    EXPECT_EQ(widget_headers_reached(dir.path(), dir.file("core/direct.cpp"), widgets),
              (std::vector<Crossing>{{"core/direct.cpp", "QtWidgets/QWidget"}, {"core/direct.cpp", "QtWidgets"}}));
    EXPECT_TRUE(widget_headers_reached(dir.path(), dir.file("core/clean.cpp"), widgets).empty());
}
