#pragma once

#include "base/Picture.h"
#include "formats/Mesh.h"

#include <QList>

#include <array>

// The model drawn in software, as the player menu shows it: a 30-degree field of view, the model
// fitted to the picture whichever way it is turned, lit from the upper left of the viewer.
namespace quorrel {

// What a slot without a picture is drawn in (red, green, blue).
inline constexpr std::array<quint8, 3> kMissingSlotColour{0xFF, 0x00, 0xFF};

// Draws `triangles` into a `width` x `height` picture, turned by `yawDegrees` about the upright
// axis (0: facing the viewer; positive turns the model towards its own right, as the game's yaw
// does). A face takes its texture from `skins` at its slot; a null picture, or a slot outside
// 0-3, is drawn in kMissingSlotColour. Masked faces leave out texels of alpha 0; one-sided faces
// seen from behind are not drawn. Pixels the model does not cover stay transparent black.
Picture drawModel(const QList<MeshTriangle>& triangles, const std::array<Picture, 4>& skins,
                  int width, int height, double yawDegrees);

} // namespace quorrel
