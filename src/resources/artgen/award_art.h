#pragma once

#include <QImage>

// The pictures of the award and unlock pages. Every award has a drawing of its own: badges in a
// basic, veteran and expert form, medals by their own pendant and ribbon, ribbons by their own
// stripes. What is not earned is the same drawing, lighter and in greys.
namespace AwardArt {

QImage badge(int badge, int level);       // 100 x 100; level 0 is the greyed basic form
QImage medal(int medal, bool earned);     // 100 x 100
QImage ribbon(int ribbon, bool earned);   // 95 x 95, the bar across the middle
QImage unlock(int unlock, bool unlocked); // 194 x 51, the weapon from the side
QImage statusIcon(int index);             // 16 x 16: check mark, cross, arrow, copy symbol

// The lighter greyscale of a picture, with the same outline and transparency.
QImage greyed(const QImage& image);

} // namespace AwardArt
