#pragma once

#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <QStringList>

namespace quorrel {

// Every value the tool works with, for the life of the window. The window shows each value in
// one control and binds to the change signals; the logic reads and writes the values here, so it
// runs and is tested without any widget. Setters signal only real changes, but for the package
// file's.
class GeneratorState : public QObject {
    Q_OBJECT

public:
    explicit GeneratorState(QObject* parent = nullptr);

    const QString& packageName() const { return m_packageName; }
    // Derives the mesh name and the skin description before it returns.
    void setPackageName(const QString& name);

    const QString& meshName() const { return m_meshName; }
    void setMeshName(const QString& name);

    const QString& skinDescription() const { return m_skinDescription; }
    void setSkinDescription(const QString& description);

    // The package's names in file order; duplicates are kept.
    const QStringList& names() const { return m_names; }
    qsizetype nameCount() const { return m_names.size(); }
    void setNames(QStringList names);

    // Always sorted by pictureLess().
    const QStringList& pictures() const { return m_pictures; }
    qsizetype pictureCount() const { return m_pictures.size(); }
    // Sorts the list unless it is sorted already; the result is the same as adding the items one
    // by one.
    void setPictures(QStringList pictures);

    const QString& countText() const { return m_countText; }
    void setCountText(const QString& text);

    bool makeIntEnabled() const { return m_makeIntEnabled; }
    void setMakeIntEnabled(bool enabled);

    const QString& intText() const { return m_intText; }
    void setIntText(const QString& text);

    const QString& infoText() const { return m_infoText; }
    void setInfoText(const QString& text);

    bool infoPanelShown() const { return m_infoPanelShown; }
    void setInfoPanelShown(bool shown);

    // The package file the names were last read from; no control shows it. Empty before any.
    // Setting it always signals: the same file read again may hold other bytes.
    const QString& packageFile() const { return m_packageFile; }
    void setPackageFile(const QString& path);

Q_SIGNALS:
    void packageNameChanged(const QString& name);
    void meshNameChanged(const QString& name);
    void skinDescriptionChanged(const QString& description);
    void namesChanged();
    void picturesChanged();
    void countTextChanged(const QString& text);
    void makeIntEnabledChanged(bool enabled);
    void intTextChanged(const QString& text);
    void infoTextChanged(const QString& text);
    void infoPanelShownChanged(bool shown);
    void packageFileChanged(const QString& path);

private:
    QString m_packageName = QStringLiteral("UTX Name");
    QString m_meshName = QStringLiteral("Mesh Name");
    QString m_skinDescription = QStringLiteral("Skin Description");
    QStringList m_names;
    QStringList m_pictures;
    QString m_countText = QStringLiteral(" 0 pics found");
    bool m_makeIntEnabled = false;
    QString m_intText;
    QString m_infoText;
    bool m_infoPanelShown = false;
    QString m_packageFile;
};

// Scans the package at `fName` into `state`: replaces the name list and the picture list, sets the
// count text and enables "Make INT". Once the file is read, it is the state's package file. Throws
// Failure: a file that cannot be read changes nothing; a walk that runs into the end of the file
// keeps the names read so far, clears the picture list and sets the count to 0, so no earlier
// package's pictures survive under the new package's name.
void ParseFile(GeneratorState& state, const QString& fName);

// The same for a package's bytes already read, from `source`.
void ParseBytes(GeneratorState& state, QByteArrayView bytes, const QString& source);

// The name list, the picture list and the count of the package's bytes, and nothing else: a
// pictures folder's package that has other textures now.
void RescanPictures(GeneratorState& state, QByteArrayView bytes);

// "Make INT": replaces the INT text with the text built from the state.
void MakeInt(GeneratorState& state);

} // namespace quorrel
