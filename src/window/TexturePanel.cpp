#include "window/TexturePanel.h"

#include "base/Failure.h"
#include "formats/PictureFile.h"
#include "formats/Texture.h"
#include "game/SkinPackage.h"
#include "window/PictureImage.h"
#include "window/TextureListModel.h"
#include "window/Titled.h"

#include <QLabel>
#include <QListView>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace quorrel {

TexturePanel::TexturePanel(TextureListModel& textures, QWidget* parent)
    : QSplitter(Qt::Vertical, parent), m_textures(textures) {
    m_list = new QListView;
    m_list->setObjectName(QStringLiteral("textures"));
    m_list->setModel(&m_textures);
    m_list->setViewMode(QListView::IconMode);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setMovement(QListView::Static);
    m_list->setUniformItemSizes(true);
    m_list->setWordWrap(true);
    const int side = TextureListModel::kThumbnailSide;
    m_list->setIconSize(QSize(side, side));
    m_fullSize = new QLabel;
    m_fullSize->setObjectName(QStringLiteral("fullSize"));
    m_fullSize->setAlignment(Qt::AlignCenter);
    auto* fullSizeArea = new QScrollArea;
    fullSizeArea->setWidget(m_fullSize);
    fullSizeArea->setWidgetResizable(true);
    m_caption = new QLabel;
    m_caption->setObjectName(QStringLiteral("fullSizeCaption"));
    auto* fullSizeBox = new QWidget;
    auto* fullSizeLayout = new QVBoxLayout(fullSizeBox);
    fullSizeLayout->setContentsMargins(0, 0, 0, 0);
    fullSizeLayout->addWidget(fullSizeArea);
    fullSizeLayout->addWidget(m_caption);
    addWidget(titled(QStringLiteral("Textures"), m_list));
    addWidget(fullSizeBox);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) { showFullSize(index.row()); });
}

void TexturePanel::setPackage(const SkinPackage* package) {
    m_package = package;
    fitCells();
    m_fullSize->clear();
    m_caption->clear();
}

void TexturePanel::fitCells() {
    // Cells wide enough for each role and its mark, and the package's names up to four thumbnails
    // wide, each on one line; a longer name is cut short.
    const QFontMetrics metrics = fontMetrics();
    int widest = metrics.horizontalAdvance(TextureListModel::kWidestRole.toString());
    for (int row = 0; row < m_textures.rowCount(); ++row)
        widest = std::max(widest, metrics.horizontalAdvance(m_textures.texture(row).name));
    const int side = TextureListModel::kThumbnailSide;
    // Two more lines for why a picture could not be read again.
    const QSize cell(std::clamp(widest + 2 * metrics.averageCharWidth(), 2 * side, 4 * side),
                     side + (m_textures.hasUnread() ? 5 : 3) * metrics.height());
    if (cell == m_list->gridSize())
        return;
    m_textures.setCellSize(cell); // every item the same size, without asking for each thumbnail
    m_list->setGridSize(cell);
}

void TexturePanel::showTexture(const QString& name) {
    const std::optional<int> row = m_textures.rowOf(name);
    if (!row)
        return;
    m_list->setCurrentIndex(m_textures.index(*row));
    m_list->scrollTo(m_textures.index(*row));
    showFullSize(*row);
}

QString TexturePanel::shownTexture() const {
    const QModelIndex current = m_list->currentIndex();
    return current.isValid() ? m_textures.texture(current.row()).name : QString();
}

void TexturePanel::showFullSize(int row) {
    if (!m_package || row < 0 || row >= m_textures.rowCount())
        return;
    const TextureInfo& info = m_textures.texture(row);
    QString caption =
        QStringLiteral("%1: %2 x %3, %4%5")
            .arg(info.name)
            .arg(info.width)
            .arg(info.height)
            .arg(info.formatName, info.masked ? QStringLiteral(", masked") : QString());
    QImage image;
    if (!info.hasPixels) {
        caption += QStringLiteral(" - drawn by the game as it runs");
        image = placeholderImage(QStringLiteral("drawn by the game"), 128);
    } else if (!info.failure.isEmpty()) {
        caption += QStringLiteral(" - ") + info.failure;
        image = placeholderImage(info.failure, 128);
    } else {
        try {
            image = imageOf(decodeTexture(m_package->bytes, m_package->tables, info.exportIndex));
        } catch (const std::exception& failure) {
            caption += QStringLiteral(" - ") + failureText(failure);
            image = placeholderImage(failureText(failure), 128);
        }
    }
    // A small texture is shown larger, in whole steps, so its pixels stay sharp.
    const int zoom = std::max(1, 128 / std::max({1, image.width(), image.height()}));
    if (zoom > 1) {
        image = image.scaled(image.size() * zoom);
        caption += QStringLiteral(" (shown at %1x)").arg(zoom);
    }
    m_fullSize->setPixmap(QPixmap::fromImage(image));
    m_caption->setText(caption);
}

} // namespace quorrel
