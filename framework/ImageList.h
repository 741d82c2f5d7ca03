#pragma once
// A list of equally sized images, each with its transparency (an alpha channel, or a mask
// colour turned into one when added), drawn by index onto a canvas.
#include "Component.h"

#include <QColor>
#include <QImage>
#include <vector>

class QPainter;

namespace framework {

class TImageList : public TComponent {
    Q_OBJECT
public:
    TImageList(QObject* owner, int width, int height, const std::string& name = {});

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return static_cast<int>(images_.size()); }

    // Adds one image (cut or padded to the list's size); its alpha and its pixel ratio are
    // kept, so an image drawn for a denser screen has as many more pixels per cell.
    void Add(const QImage& image);
    // Adds one image whose pixels of the mask colour are transparent.
    void AddMasked(const QImage& image, QColor mask);
    // Cuts a strip of images laid side by side, left to right, and adds each (cells of the
    // list's size times the strip's pixel ratio).
    void AddStrip(const QImage& strip);

    // Draws image index with its top-left at (x, y), at the list's size whatever its pixel
    // ratio: transparent through its mask, or opaque (the mask ignored). An index outside the
    // list draws nothing.
    void Draw(QPainter& canvas, int x, int y, int index, bool transparent = true) const;

    const QImage& Image(int index) const { return images_.at(static_cast<size_t>(index)); }

private:
    int width_;
    int height_;
    std::vector<QImage> images_; // ARGB32, premultiplied
};

} // namespace framework
