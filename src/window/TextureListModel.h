#pragma once

#include "formats/Texture.h"
#include "rules/SkinMenu.h"

#include <QAbstractListModel>
#include <QHash>
#include <QImage>
#include <QPixmap>

#include <functional>
#include <optional>

namespace quorrel {

// The package's textures for a list view: each with its thumbnail, its name and its role, and the
// findings about it. Thumbnails are decoded when a row is first shown.
class TextureListModel : public QAbstractListModel {
public:
    static constexpr int kThumbnailSide = 64;
    // The longest role line under a thumbnail: a role and the mark of a finding.
    static constexpr QStringView kWidestRole = u"team colour \u26A0";
    // A small picture of the texture; throws a Failure when it cannot be decoded.
    using Thumbnail = std::function<Picture(const TextureInfo&)>;

    using QAbstractListModel::QAbstractListModel;

    // Each texture's role is what it is to `model`.
    void reset(QList<TextureInfo> textures, const MenuModel& model, Thumbnail thumbnail);
    // The size each item asks for in the view.
    void setCellSize(const QSize& size) { m_cellSize = size; }
    // The findings' English by caseKey() of their texture.
    void setFindings(QHash<QString, QStringList> findings);
    // Why a picture could not be read again, by caseKey() of its texture, which shows the last
    // texture read.
    void setUnread(QHash<QString, QString> reasons);
    bool hasUnread() const { return !m_unread.isEmpty(); }

    const TextureInfo& texture(int row) const { return m_textures.at(row); }
    // The row of the texture of that name (without regard to case).
    std::optional<int> rowOf(const QString& name) const;
    QPixmap thumbnail(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    void textsChanged();

    QList<TextureInfo> m_textures;
    QList<TextureRole> m_roles;
    QHash<QString, int> m_rows;
    QHash<QString, QStringList> m_findings;
    QHash<QString, QString> m_unread;
    Thumbnail m_thumbnail;
    QSize m_cellSize;
    mutable QHash<int, QPixmap> m_thumbnails;
};

} // namespace quorrel
