#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <optional>

class QClipboard;
class ReportCard;

// The shareable picture of a report card: the card on a margin of paper, always in light colours.
namespace ReportImage {

// Points of paper around the card; the cards' own shadows and tilted pieces stay inside it.
inline constexpr int margin = 24;
// Pixels per point of the image.
inline constexpr int scale = 2;
// The light paper of the app palette, fixed: the image looks the same in either appearance.
inline constexpr QRgb paper = qRgb(243, 236, 226);

// The card with its margin at `scale`, opaque: (card width + 2 × margin) × scale pixels wide, and
// the device-pixel ratio set so it shows at the card's point size. Null when the card has no size.
QImage render(const ReportCard &card);

// The image as PNG bytes; nothing when it cannot be encoded.
std::optional<QByteArray> pngData(const QImage &image);

// Replaces the clipboard's contents with the image, offered both as an image and as PNG bytes.
void copy(const QImage &image, QClipboard &clipboard);

} // namespace ReportImage
