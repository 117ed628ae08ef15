// Writes the light edition's about picture (about3.jpg): a small picture of
// our own, drawn here pixel by pixel so that no font or window system is
// needed at build time.
#include <QCoreApplication>
#include <QImage>

#include <cmath>
#include <cstdio>

namespace {

QImage about_picture()
{
    constexpr int k_width = 320;
    constexpr int k_height = 200;
    QImage image(k_width, k_height, QImage::Format_RGB32);
    for (int y = 0; y < k_height; ++y) {
        for (int x = 0; x < k_width; ++x) {
            // A moss-green evening sky over a hill, with a pale moon.
            const double t = double(y) / k_height;
            int r = int(40 + 60 * t);
            int g = int(90 + 100 * t);
            int b = int(70 + 30 * (1 - t));
            const double hill = k_height * (0.72 - 0.12 * std::sin(x * 3.14159 / k_width));
            if (y > hill) {
                r = 30;
                g = int(110 + 40 * std::sin(x * 0.2) * std::sin(y * 0.3));
                b = 40;
            }
            const double dx = x - 240.0;
            const double dy = y - 55.0;
            if (dx * dx + dy * dy < 28.0 * 28.0) {
                r = 235;
                g = 240;
                b = 200;
            }
            image.setPixel(x, y, qRgb(r, g, b));
        }
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.jpg\n", argv[0]);
        return 2;
    }
    if (!about_picture().save(QString::fromLocal8Bit(argv[1]), "JPG", 85)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
