// image_table.h: the fixed table each platform keeps its images in, and its free-slot search. A
// platform's Image holds what it draws from and 'in_use'.
#pragma once

// Every sheet, the font, the icon, and a loaded bitmap on its way to conversion, with room to spare.
constexpr int max_images = 272;

template <typename Image> using ImageTable = Image[max_images];

// The first image of the table not in use, now marked in use; nullptr when every one is taken.
template <typename Image> Image *take_image(ImageTable<Image> &table)
{
    for (Image &image : table)
        if (!image.in_use) {
            image.in_use = true;
            return &image;
        }
    return nullptr;
}
