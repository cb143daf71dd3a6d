#pragma once
// The reference point of the Visual window as its three edits hold it: the
// texts written for a point, the point read back from a text, and the move of
// the point onto a pixel of the plot. Texts are 8-bit, the degree sign the
// single character 0xB0, an unfilled place of an edit '_'.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veltrano {

// The edits' blank: a place of the mask not filled yet.
constexpr char kEditBlank = '_';

// "DD°MM.MMMMMH" of a latitude and "DDD°MM.MMMMMH" of a longitude (radians,
// within 90 and 180 degrees). The minutes are those the text shows, rounded to
// 0.00001; 60 of them carry into the degrees.
std::string referenceLatitudeText(double latitude);
std::string referenceLongitudeText(double longitude);
// "%07.2lf" of a finite height in metres; the edit holds -999.99 to 9999.99,
// a height beyond them is written as the nearer end.
std::string referenceHeightText(double height);

// The angle in radians a latitude (longitude) text gives, or nothing when it
// gives none: a place of a digit that is not one (a blank), a last character
// other than N or S (E or W), minutes above 59.99999, degrees above 90 (180) or
// 90 (180) degrees and more than 0 minutes.
std::optional<double> readReferenceLatitude(std::string_view text);
std::optional<double> readReferenceLongitude(std::string_view text);
// The number a height text starts with, 0 without one.
double readReferenceHeight(std::string_view text);

// Whether the edits can show a position: finite, latitude within 90 and
// longitude within 180 degrees.
bool isReferencePosition(double latitude, double longitude, double height);

struct ReferenceAngles {
  double latitude;   // radians
  double longitude;  // radians
};

// The reference point moved so that pixel (x, y) of the plot, drawn with an
// inner ring of plotRadius metres, becomes the centre. The latitude stops at
// the poles and the longitude stays within 180 degrees.
ReferenceAngles recentredReference(double refLat, double refLon, float plotRadius, int32_t x, int32_t y);

}  // namespace veltrano
