#include "core/name_rules.h"

namespace mosswick::files {

const QStringList& picture_extensions()
{
    static const QStringList list{QStringLiteral("bmp"), QStringLiteral("gif"), QStringLiteral("jpg"),
                                  QStringLiteral("png"), QStringLiteral("tif"), QStringLiteral("emf"),
                                  QStringLiteral("wmf"), QStringLiteral("rle"), QStringLiteral("ico")};
    return list;
}

const QStringList& blob_refused_extensions()
{
    static const QStringList list{QStringLiteral("png"), QStringLiteral("tif"), QStringLiteral("rle"),
                                  QStringLiteral("ico"), QStringLiteral("wmf"), QStringLiteral("emf")};
    return list;
}

bool has_dot(QStringView name)
{
    return name.contains(u'.');
}

QString extension_of(QStringView name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return name.sliced(dot + 1).toString().toLower();
}

QStringView base_name_of(QStringView name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.first(dot);
}

bool is_picture_extension(QStringView name)
{
    return picture_extensions().contains(extension_of(name));
}

bool is_blob_refused(QStringView name)
{
    return blob_refused_extensions().contains(extension_of(name));
}

bool is_companion_of(QStringView candidate, QStringView picture)
{
    if (!has_dot(candidate) || is_picture_extension(candidate))
        return false;
    return base_name_of(candidate) == base_name_of(picture);
}

bool is_note_file(QStringView name)
{
    if (!has_dot(name))
        return false;
    const QString ext = extension_of(name);
    return ext == QLatin1String("txt") || ext == QLatin1String("rtf");
}

bool name_too_long(QStringView name)
{
    return name.size() > k_name_limit;
}

QString picture_name_message(const QString& name)
{
    // Concatenated, not arg(): a name may itself contain "%1".
    return QStringLiteral("The picture file name: ") + name + QStringLiteral(", is ") + QString::number(name.size())
        + QStringLiteral(" bytes, picture file name cannot exceed 255 bytes.");
}

QString movie_name_message(const QString& name)
{
    return QStringLiteral("The movie file name: ") + name + QStringLiteral(", is ") + QString::number(name.size())
        + QStringLiteral(" bytes, movie file name cannot exceed 255 bytes.");
}

QString blob_refused_message()
{
    return QStringLiteral("Cannot load PNG, TIF, RLE, WMF, ICO or EMF files, if the picture is loaded within the database.");
}

} // namespace mosswick::files
