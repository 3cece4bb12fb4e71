#include "formats/PackageObject.h"

#include "base/Failure.h"
#include "base/IgnoringCase.h"

namespace quorrel {
namespace {

constexpr quint32 kHasStateFrame = 0x02000000;

const QString& nameAt(const PackageTables& tables, qint32 index) {
    if (index < 0 || index >= tables.names.size())
        throw Failure::damaged(
            QStringLiteral("a property names name %1 of %2").arg(index).arg(tables.names.size()));
    return tables.names.at(index);
}

qint32 valueSize(PackageCursor& cursor, quint8 code) {
    switch (code) {
    case 0:
        return 1;
    case 1:
        return 2;
    case 2:
        return 4;
    case 3:
        return 12;
    case 4:
        return 16;
    case 5:
        return cursor.u8("a property size");
    case 6:
        return cursor.u16("a property size");
    default:
        return cursor.i32("a property size");
    }
}

// One byte below 0x80; 10xxxxxx and one more byte; 11xxxxxx and three more, high bytes first.
qint32 arrayIndex(PackageCursor& cursor) {
    const quint8 first = cursor.u8("an array index");
    if (!(first & 0x80))
        return first;
    if (!(first & 0x40))
        return ((first & 0x3F) << 8) | cursor.u8("an array index");
    qint32 index = first & 0x3F;
    for (int i = 0; i < 3; ++i)
        index = (index << 8) | cursor.u8("an array index");
    return index;
}

} // namespace

PackageCursor objectCursor(QByteArrayView package, const PackageExport& object) {
    if (object.serialSize <= 0 || object.serialOffset < 0 ||
        qint64(object.serialOffset) + object.serialSize > package.size())
        throw Failure::damaged(
            QStringLiteral("%1's data (%2 bytes at byte %3) lies outside the file")
                .arg(object.objectName)
                .arg(object.serialSize)
                .arg(object.serialOffset));
    return PackageCursor(package, object.serialOffset,
                         qsizetype(object.serialOffset) + object.serialSize);
}

QList<Property> readProperties(PackageCursor& cursor, const PackageTables& tables,
                               const PackageExport& object) {
    if (object.flags & kHasStateFrame) {
        const qint32 node = cursor.compact("a state frame");
        cursor.compact("a state frame");
        cursor.take(8 + 4, "a state frame"); // probe mask, latent action
        if (node != 0)
            cursor.compact("a state frame");
    }
    QList<Property> properties;
    for (;;) {
        Property property;
        property.name = nameAt(tables, cursor.compact("a property name"));
        if (sameIgnoringCase(property.name, u"None"))
            return properties;
        const quint8 info = cursor.u8("a property tag");
        if ((info & 0x0F) == 0)
            throw Failure::damaged(QStringLiteral("the property %1 at byte %2 has no type")
                                       .arg(property.name)
                                       .arg(cursor.at() - 1));
        property.type = PropertyType(info & 0x0F);
        if (property.type == PropertyType::Struct)
            property.structName = nameAt(tables, cursor.compact("a struct name"));
        property.size = valueSize(cursor, (info >> 4) & 0x07);
        if (property.type == PropertyType::Bool)
            property.boolValue = info & 0x80;
        else if (info & 0x80)
            property.arrayIndex = arrayIndex(cursor);
        if (property.type != PropertyType::Bool) {
            property.valueAt = cursor.at();
            cursor.take(property.size, "a property value");
        }
        properties.append(property);
    }
}

const Property* findProperty(const QList<Property>& properties, QStringView name) {
    for (const Property& property : properties) {
        if (sameIgnoringCase(property.name, name))
            return &property;
    }
    return nullptr;
}

qint32 propertyNumber(QByteArrayView package, const QList<Property>& properties, QStringView name,
                      qint32 absent) {
    const Property* property = findProperty(properties, name);
    if (!property)
        return absent;
    PackageCursor value(package, property->valueAt, property->valueAt + property->size);
    switch (property->type) {
    case PropertyType::Byte:
        return value.u8("a byte property");
    case PropertyType::Object:
        return value.compact("an object property");
    default:
        return value.i32("a number property");
    }
}

bool propertyFlag(const QList<Property>& properties, QStringView name) {
    const Property* property = findProperty(properties, name);
    return property && property->boolValue;
}

} // namespace quorrel
