#pragma once

#include "formats/Package.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

// One object's own data in a package: where it lies, and the property list it starts with.
namespace quorrel {

// The types a property tag names, by their number.
enum class PropertyType : quint8 {
    Byte = 1,
    Int,
    Bool,
    Float,
    Object,
    Name,
    String,
    Class,
    Array,
    Struct,
    Vector,
    Rotator,
    Str,
    Map,
    FixedArray,
};

// One tag of a property list. Only values that differ from the class default are stored.
struct Property {
    QString name;
    PropertyType type = PropertyType::Byte;
    qint32 size = 0;        // of the value, in bytes
    qint32 arrayIndex = 0;  // which element of a static array
    QString structName;     // for a Struct
    bool boolValue = false; // for a Bool, which stores its value in the tag
    qsizetype valueAt = 0;  // where the value starts in the package
};

// A cursor over the object's data: from its serial offset, its serial size bytes. Throws a
// Failure (Damaged) when they lie outside the file.
PackageCursor objectCursor(QByteArrayView package, const PackageExport& object);

// Reads the property list at the start of the object's data (after the state frame an object
// flagged with one carries), up to the tag named "None". Leaves `cursor` after it, where the
// object's own data starts. Throws a Failure (Damaged) for a tag that cannot be read or whose
// value runs past the object.
QList<Property> readProperties(PackageCursor& cursor, const PackageTables& tables,
                               const PackageExport& object);

// The first property of that name (without regard to case), or nullptr.
const Property* findProperty(const QList<Property>& properties, QStringView name);

// The value of a Byte, Int or Object property as a number (an Object's is its reference: 0 none,
// i > 0 export i - 1, i < 0 import -i - 1); `absent` when there is no such property.
qint32 propertyNumber(QByteArrayView package, const QList<Property>& properties, QStringView name,
                      qint32 absent);

// The value of a Bool property; false when absent.
bool propertyFlag(const QList<Property>& properties, QStringView name);

} // namespace quorrel
