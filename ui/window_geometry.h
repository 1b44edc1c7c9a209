// The main window's size, position and splitter, kept in the settings
// between runs and brought back inside the screens there are now.
#pragma once

#include <QList>
#include <QRect>
#include <optional>
#include <string>

namespace velmora {

inline constexpr char kKeyWindowGeometry[] = "WindowGeometry";  // "x,y,width,height"
inline constexpr char kKeySplitterSizes[] = "SplitterSizes";    // "a,b,c"

// "x,y,width,height" and back; nullopt for anything else or an empty size.
std::string GeometryText(const QRect& rect);
std::optional<QRect> GeometryFromText(const std::string& text);

// "a,b,c" and back; an empty list for anything unreadable.
std::string SizesText(const QList<int>& sizes);
QList<int> SizesFromText(const std::string& text);

// stored, moved and shrunk as little as needed to lie wholly inside one of
// screens (available areas): the one it overlaps most, else the first.
QRect PlaceInside(const QRect& stored, const QList<QRect>& screens);

}  // namespace velmora
