#include "gldownsampler.h"

#include "glewloader.h"
#include "photodecoding.h"

#include <GL/glew.h>

#include <ksr/safefile.h>

#include <QFileInfo>
#include <QImageWriter>

#include <algorithm>
#include <cmath>
#include <utility>

GLDownsampler::GLDownsampler(QObject *parent) : OffscreenGLWidget(parent)
{
    in.mipmapsByCaller = true;
}

GLDownsampler::~GLDownsampler()
{
    if (isInitialized() && makeCurrent()) {
        fboL.destroy();
        fboP.destroy();
        inMipmaps.destroy();
        in.release();
        outL.release();
        outP.release();
    } else {
        // No usable context here: the objects die with it.
        fboL.forget();
        fboP.forget();
        inMipmaps.forget();
        in.forget();
        outL.forget();
        outP.forget();
    }
}

void GLDownsampler::initializeGL()
{
    // GLEW has been loaded by the base class before this runs.
    glEnable(GL_TEXTURE_2D);
    outL.create(1, 1, GL_UNSIGNED_BYTE, GL_RGBA8, false);
    outP.create(1, 1, GL_UNSIGNED_BYTE, GL_RGBA8, false);
    fboL.attachColorTexture(outL);
    fboP.attachColorTexture(outP);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
}

void GLDownsampler::resizeGL(int, int) {}

void GLDownsampler::paintGL()
{
    if (!fboCurr)
        return;
    const int lastLevel = lastLevelRead(QSize(in.width, in.height), QSize(fboCurr->w, fboCurr->h));
    if (in.id != 0 && lastLevel > inLastLevel) {
        inMipmaps.draw(in, lastLevel);
        inLastLevel = lastLevel;
    }
    fboCurr->bind();
    in.bind();
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_LOD_BIAS, MipmapLodBias);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    // The texture holds the picture bottom row first; drawing it upside down
    // makes the bottom-up read-back come out top row first.
    drawViewportQuad(true);
    glFinish();
}

int GLDownsampler::lastLevelRead(const QSize &texture, const QSize &target)
{
    if (texture.isEmpty() || target.isEmpty())
        return 0;
    // Trilinear filtering reads the level below and the level above log2(texels per pixel) + bias;
    // half a level more spares any rounding in the driver's estimate.
    const double texelsPerPixel =
        std::max(double(texture.width()) / target.width(), double(texture.height()) / target.height());
    return std::max(1, int(std::floor(std::log2(texelsPerPixel) + MipmapLodBias + 0.5)) + 1);
}

int GLDownsampler::maxTextureSize()
{
    if (maxTexture == 0 && makeCurrent())
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    return maxTexture;
}

bool GLDownsampler::loadImage(const QString &path)
{
    if (!ensureInitialized())
        return false;
    return loadDecodedImage(decodePhoto(path, 0, maxTextureSize()));
}

bool GLDownsampler::loadDecodedImage(const DecodedPhoto &photo)
{
    if (!ensureInitialized())
        return false;
    if (!photo.isValid()) {
        in.width = in.height = 0;
        photoWidth = photoHeight = 0;
        setErrorString(photo.error);
        return false;
    }
    const int maxSize = maxTextureSize();
    QImage image = photo.glImage;
    if (maxSize > 0 && std::max(image.width(), image.height()) > maxSize)
        image =
            image.scaled(image.size().scaled(maxSize, maxSize, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)),
                         Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (!in.loadFromGLImage(image, true)) {
        photoWidth = photoHeight = 0;
        setErrorString(tr("The picture could not be turned into a texture."));
        return false;
    }
    inLastLevel = 0;
    photoWidth = photo.photoSize.width();
    photoHeight = photo.photoSize.height();
    landscape = photoHeight < photoWidth;
    return true;
}

bool GLDownsampler::warmUp()
{
    DecodedPhoto tiny;
    // Sides that are not powers of two, like a reduced photograph's: the software driver compiles
    // separate code for power-of-two textures, which no photograph would then use.
    tiny.glImage = QImage(6, 5, QImage::Format_RGBA8888);
    tiny.glImage.fill(Qt::white);
    tiny.photoSize = tiny.glImage.size();
    if (!loadDecodedImage(tiny))
        return false;
    setExactOutputSize(3, 2);
    return updateGL() && !outputImage().isNull();
}

void GLDownsampler::setOutputSize(unsigned int width, unsigned int height)
{
    if (separateOrientations && !landscape)
        std::swap(width, height);
    const unsigned int requestedHeight = height;
    const unsigned int photoW = unsigned(photoWidth);
    const unsigned int photoH = unsigned(photoHeight);
    // An unreadable photograph has no size: both sides stay as requested.
    if (height == 0 && photoW != 0)
        height = width * photoH / photoW;
    if (width == 0 && photoH != 0)
        width = requestedHeight * photoW / photoH;
    setExactOutputSize(width, height);
}

void GLDownsampler::setOutputScale(float sx, float sy)
{
    if (separateOrientations && !landscape)
        std::swap(sx, sy);
    const unsigned int width = unsigned((sx != 0 ? sx : sy) * float(photoWidth));
    const unsigned int height = unsigned((sy != 0 ? sy : sx) * float(photoHeight));
    setExactOutputSize(width, height);
}

void GLDownsampler::selectTarget(Texture &out, std::vector<unsigned char> &ram, FBO &fbo, unsigned int width,
                                 unsigned int height)
{
    const std::size_t bytes = std::size_t(4) * width * height;
    // The 1-byte buffer of a fresh set is too small even when the size matches
    // the 1 x 1 target made at initialisation.
    if (int(width) != fbo.w || int(height) != fbo.h || ram.size() < bytes) {
        ram.assign(bytes, 0);
        fbo.resize(int(width), int(height));
    }
    ramCurr = &ram;
    outCurr = &out;
    fboCurr = &fbo;
}

void GLDownsampler::setExactOutputSize(unsigned int width, unsigned int height)
{
    if (!ensureInitialized())
        return;
    width = std::max(width, 1u);
    height = std::max(height, 1u);
    if (landscape || !separateOrientations)
        selectTarget(outL, ramL, fboL, width, height);
    else
        selectTarget(outP, ramP, fboP, width, height);
}

QSize GLDownsampler::outputSize() const
{
    return outCurr ? QSize(outCurr->width, outCurr->height) : QSize();
}

QImage GLDownsampler::outputImage()
{
    if (!(((outCurr == &outL) && (ramCurr == &ramL) && (fboCurr == &fboL)) ||
          ((outCurr == &outP) && (ramCurr == &ramP) && (fboCurr == &fboP))))
        qt_assert_x("ImageUtils/src/gldownsampler",
                    "((outCurr == outL) && (ramCurr == ramL) && (fboCurr == fboL)) || ((outCurr == outP) && "
                    "(ramCurr == ramP) && (fboCurr == fboP))",
                    __FILE__, __LINE__);
    if (!makeCurrent())
        return QImage();
    outCurr->download(GL_UNSIGNED_BYTE, GL_RGB, ramCurr->data());
    // Rows of Format_RGB888 are 4-byte aligned, like the default pack alignment.
    // A copy: the buffer is reallocated when the output size changes.
    return QImage(ramCurr->data(), outCurr->width, outCurr->height, QImage::Format_RGB888).copy();
}

bool GLDownsampler::save(const QString &path, float dpi, QString *error, Sync sync)
{
    QImage image = outputImage();
    if (image.isNull()) {
        if (error)
            *error = errorString();
        return false;
    }
    const int dotsPerMetre = int(dpi * 39.3700787);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);

    // Written beside the target and renamed only when every byte reached the disk, so a failed
    // write never leaves an empty or cut thumbnail that a later run would take as done.
    ksr::SafeFile file(path);
    if (sync == Sync::Later)
        file.deferSync();
    const QByteArray format = QFileInfo(path).suffix().toLatin1().toLower();
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QImageWriter writer(&file, format);
    if (!writer.write(image)) {
        if (error)
            *error = file.hasFailed() ? file.errorString() : writer.errorString();
        file.discard();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool GLDownsampler::capabilityReport(QString &text)
{
    if (!makeCurrent()) {
        text += errorString() + QLatin1Char('\n');
        return false;
    }
    text += QStringLiteral("Glew version: %1\n")
                .arg(QString::fromLatin1(reinterpret_cast<const char *>(glewGetString(GLEW_VERSION))));
    QString glewError;
    const bool glewLoaded = initGlewForCurrentContext(&glewError);
    if (!glewLoaded)
        text += QStringLiteral("%1\n").arg(glewError);
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    text += QStringLiteral("Max supported texture size: %1\n").arg(maxSize);
    text += QStringLiteral("Framebuffer object: supported\n");
    const bool generateMipmap = glewLoaded && glGenerateMipmap != nullptr;
    text += generateMipmap ? QStringLiteral("glGenerateMipmap: supported\n")
                           : QStringLiteral("glGenerateMipmap: not supported\n");
    if (!glewLoaded || maxSize == 0)
        return false;
    return generateMipmap;
}
