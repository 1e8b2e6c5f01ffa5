#pragma once

#include <QString>
#include <optional>

class CanvasHandler;

enum class PictureFormat { Png, Svg, Pdf };

struct PictureOptions {
    PictureFormat format = PictureFormat::Png;
    int scale = 1; // PNG pixels per canvas pixel; the vector formats draw in canvas pixels
};

// The format a file name's extension names, in any case, if any.
std::optional<PictureFormat> pictureFormatOfName(const QString& path);
// The format's file name extension, without the dot.
QString pictureExtension(PictureFormat format);

// Writes the design on the editor's canvas as a picture: the blocks and wires with a small
// margin around them, drawn as on screen but without selection, bend handles or a wire being
// drawn, on white. The canvas looks as before afterwards. On failure an existing file is left
// untouched and error receives the reason.
bool writeDesignPicture(CanvasHandler& editor, const QString& path, const PictureOptions& options,
                        QString& error);
