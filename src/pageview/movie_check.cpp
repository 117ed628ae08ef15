#include "pageview/movie_check.h"

#include "platform/store/store_error.h"
#include "platform/ui/vb.h"

#include <QFile>

#include <sys/stat.h>

namespace mosswick {

namespace {

QString refusal(int code, const QString& text)
{
    return ui::error_message(code, text);
}

using store::k_err_file_not_found;
using store::k_err_path_file_access;

} // namespace

const QStringList& movie_extensions()
{
    static const QStringList types = {
        // movies
        QStringLiteral("3g2"), QStringLiteral("3gp"), QStringLiteral("asf"), QStringLiteral("avi"),
        QStringLiteral("divx"), QStringLiteral("dv"), QStringLiteral("f4v"), QStringLiteral("flv"),
        QStringLiteral("m1v"), QStringLiteral("m2t"), QStringLiteral("m2ts"), QStringLiteral("m2v"),
        QStringLiteral("m4v"), QStringLiteral("mkv"), QStringLiteral("mod"), QStringLiteral("mov"),
        QStringLiteral("mp4"), QStringLiteral("mpe"), QStringLiteral("mpeg"), QStringLiteral("mpg"),
        QStringLiteral("mts"), QStringLiteral("mxf"), QStringLiteral("ogm"), QStringLiteral("ogv"),
        QStringLiteral("qt"), QStringLiteral("rm"), QStringLiteral("rmvb"), QStringLiteral("ts"),
        QStringLiteral("vob"), QStringLiteral("webm"), QStringLiteral("wmv"),
        // sounds kept with a picture
        QStringLiteral("aac"), QStringLiteral("aif"), QStringLiteral("aiff"), QStringLiteral("flac"),
        QStringLiteral("m4a"), QStringLiteral("mid"), QStringLiteral("midi"), QStringLiteral("mp3"),
        QStringLiteral("oga"), QStringLiteral("ogg"), QStringLiteral("opus"), QStringLiteral("wav"),
        QStringLiteral("wma"),
    };
    return types;
}

MovieCheck check_movie(const QString& data_folder, const QString& movfile)
{
    MovieCheck c;
    c.path = data_folder + movfile;
    if (movfile.isEmpty() || movfile == QLatin1String(".") || movfile == QLatin1String("..")
        || movfile.contains(u'/') || movfile.contains(QChar(0))) {
        c.verdict = MovieVerdict::NotBareName;
        return c;
    }
    const qsizetype dot = movfile.lastIndexOf(u'.');
    if (dot < 0 || !movie_extensions().contains(movfile.mid(dot + 1).toLower())) {
        c.verdict = MovieVerdict::NotMovieType;
        return c;
    }
    struct stat st {};
    if (::lstat(QFile::encodeName(c.path).constData(), &st) != 0) {
        c.verdict = MovieVerdict::NotFound;
        return c;
    }
    if (!S_ISREG(st.st_mode)) {
        c.verdict = MovieVerdict::NotPlainFile;
        return c;
    }
    if ((st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0) {
        c.verdict = MovieVerdict::Executable;
        return c;
    }
    c.verdict = MovieVerdict::Ok;
    return c;
}

QString movie_refusal(const MovieCheck& check, const QString& movfile)
{
    const QString shown = QStringLiteral("\"%1\"").arg(movfile);
    switch (check.verdict) {
    case MovieVerdict::Ok:
        return {};
    case MovieVerdict::NotBareName:
        return refusal(k_err_path_file_access,
                       QStringLiteral("Movie not opened: %1 is not a file name of the data folder.").arg(shown));
    case MovieVerdict::NotMovieType:
        return refusal(k_err_path_file_access, QStringLiteral("Movie not opened: %1 is not a movie type.").arg(shown));
    case MovieVerdict::NotFound:
        return refusal(k_err_file_not_found, QStringLiteral("File not found: %1").arg(check.path));
    case MovieVerdict::NotPlainFile:
        return refusal(k_err_path_file_access,
                       QStringLiteral("Movie not opened: %1 is a link or not a plain file.").arg(shown));
    case MovieVerdict::Executable:
        return refusal(k_err_path_file_access,
                       QStringLiteral("Movie not opened: %1 is marked as a program.").arg(shown));
    }
    return {};
}

} // namespace mosswick
