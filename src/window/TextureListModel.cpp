#include "window/TextureListModel.h"

#include "base/Failure.h"
#include "base/IgnoringCase.h"
#include "formats/PictureFile.h"
#include "window/PictureImage.h"

#include <exception>

namespace quorrel {
namespace {

QString roleName(TextureRole role) {
    switch (role) {
    case TextureRole::Skin:
        return QStringLiteral("skin");
    case TextureRole::Face:
        return QStringLiteral("face");
    case TextureRole::Portrait:
        return QStringLiteral("portrait");
    case TextureRole::Team:
        return QStringLiteral("team colour");
    case TextureRole::Other:
        break;
    }
    return QStringLiteral("other");
}

} // namespace

void TextureListModel::reset(QList<TextureInfo> textures, const MenuModel& model,
                             Thumbnail thumbnail) {
    beginResetModel();
    m_textures = std::move(textures);
    m_thumbnail = std::move(thumbnail);
    m_thumbnails.clear();
    m_findings.clear();
    m_unread.clear();
    m_rows.clear();
    QStringList names;
    for (int row = 0; row < m_textures.size(); ++row) {
        names << m_textures[row].name;
        m_rows.insert(caseKey(m_textures[row].name), row);
    }
    m_roles = textureRoles(names, model);
    endResetModel();
}

void TextureListModel::setFindings(QHash<QString, QStringList> findings) {
    if (findings == m_findings)
        return;
    m_findings = std::move(findings);
    textsChanged();
}

void TextureListModel::setUnread(QHash<QString, QString> reasons) {
    if (reasons == m_unread)
        return;
    m_unread = std::move(reasons);
    textsChanged();
}

void TextureListModel::textsChanged() {
    if (!m_textures.isEmpty())
        Q_EMIT dataChanged(index(0), index(int(m_textures.size()) - 1),
                           {Qt::DisplayRole, Qt::ToolTipRole});
}

std::optional<int> TextureListModel::rowOf(const QString& name) const {
    const auto row = m_rows.constFind(caseKey(name));
    return row == m_rows.cend() ? std::nullopt : std::optional(*row);
}

QPixmap TextureListModel::thumbnail(int row) const {
    if (const auto cached = m_thumbnails.constFind(row); cached != m_thumbnails.cend())
        return *cached;
    const TextureInfo& info = m_textures.at(row);
    QImage image;
    if (!info.hasPixels) {
        image = placeholderImage(QStringLiteral("drawn by the game"), kThumbnailSide);
    } else if (!info.failure.isEmpty()) {
        image = placeholderImage(info.failure, kThumbnailSide);
    } else {
        try {
            image = imageOf(m_thumbnail(info));
        } catch (const std::exception& failure) {
            image = placeholderImage(failureText(failure), kThumbnailSide);
        }
    }
    const QPixmap pixmap = QPixmap::fromImage(image.scaled(
        kThumbnailSide, kThumbnailSide, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_thumbnails.insert(row, pixmap);
    return pixmap;
}

int TextureListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_textures.size());
}

QVariant TextureListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_textures.size())
        return QVariant();
    const TextureInfo& info = m_textures.at(index.row());
    const QStringList findings = m_findings.value(caseKey(info.name));
    const QString unread = m_unread.value(caseKey(info.name));
    switch (role) {
    case Qt::DisplayRole:
        return info.name + u'\n' + roleName(m_roles.at(index.row())) +
               (findings.isEmpty() ? QString() : QStringLiteral(" \u26A0")) +
               (unread.isEmpty() ? QString() : u'\n' + unread);
    case Qt::DecorationRole:
        return thumbnail(index.row());
    case Qt::SizeHintRole:
        return m_cellSize.isValid() ? QVariant(m_cellSize) : QVariant();
    case Qt::ToolTipRole: {
        QStringList lines{QStringLiteral("%1 (%2)").arg(info.name, info.className)};
        if (!info.failure.isEmpty())
            lines << info.failure;
        if (!unread.isEmpty())
            lines << QStringLiteral("The picture could not be read again: ") + unread;
        return (lines + findings).join(u'\n');
    }
    default:
        return QVariant();
    }
}

} // namespace quorrel
