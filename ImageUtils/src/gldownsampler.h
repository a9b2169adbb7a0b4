#ifndef IMAGEUTILS_GLDOWNSAMPLER_H
#define IMAGEUTILS_GLDOWNSAMPLER_H

#include "fbo.h"
#include "mipmapdrawer.h"
#include "offscreenglwidget.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <vector>

struct DecodedPhoto;

// Reduces a photograph on the graphics card: the photograph becomes a
// mipmapped texture, drawn as one screen-filling quad into a small framebuffer
// of the output size (trilinear filtering does the reduction), read back and
// saved.
//
// Threading: construct on the GUI thread; every other call, including the
// destructor's GL clean-up, happens on the thread that owns the context (see
// OffscreenGLWidget). Each GL call below makes the context current first.
class GLDownsampler : public OffscreenGLWidget
{
    Q_OBJECT
public:
    explicit GLDownsampler(QObject *parent = nullptr);
    ~GLDownsampler() override;

    // Loads the whole photograph, scaled down on the processor first if it is
    // larger than the card's maximum texture size. False if unreadable (the
    // reason is in errorString()); the texture is then 0 x 0.
    bool loadImage(const QString &path);
    // Uploads a photograph decoded elsewhere (see decodePhoto()), scaled down
    // on the processor first if it exceeds the maximum texture size. Output
    // sizes follow the photograph's own size, not the decoded one.
    bool loadDecodedImage(const DecodedPhoto &photo);
    // Runs one tiny reduction so that the driver prepares its code for
    // uploads, mipmaps, drawing and read-back before the first photograph.
    bool warmUp();

    void setSeparateOrientations(bool separate) { separateOrientations = separate; }
    // A 0 side keeps the photograph's aspect ratio.
    void setOutputSize(unsigned int width, unsigned int height);
    void setOutputScale(float sx, float sy);
    void setExactOutputSize(unsigned int width, unsigned int height);

    // Reads the current target back, top row first.
    QImage outputImage();
    // Writes the current target with `dpi` dots per inch; the format follows
    // the suffix. The file appears only when completely written. With Sync::Later the sync to disk is
    // left to the caller (ksr::SafeFile::deferSync), for many files written in a row.
    enum class Sync { Now, Later };
    bool save(const QString &path, float dpi, QString *error = nullptr, Sync sync = Sync::Now);

    // Appends a GL capability report; returns whether the card is usable.
    bool capabilityReport(QString &text);

    int maxTextureSize();
    bool isLandscape() const { return landscape; }
    QSize photoSize() const { return QSize(photoWidth, photoHeight); }
    QSize outputSize() const;

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;

private:
    // Trilinear filtering picks the mipmap level whose texels match the output pixels, then blends
    // with the coarser one: a blur on top of the reduced decode's own block averaging. A finer level
    // brings the thumbnail as close to an area-averaged reduction of the whole photograph as
    // vipsthumbnail's (PSNR and SSIM measured by thumbnail-bench).
    static constexpr float MipmapLodBias = -0.75f;

    // The deepest mipmap level a reduction of `texture` into `target` reads, with a level to spare.
    static int lastLevelRead(const QSize &texture, const QSize &target);
    void selectTarget(Texture &out, std::vector<unsigned char> &ram, FBO &fbo, unsigned int width,
                      unsigned int height);

    Texture in;
    // The levels below the photograph, drawn when a reduction first reads them.
    MipmapDrawer inMipmaps;
    int inLastLevel = 0;
    Texture outL;
    Texture outP;
    Texture *outCurr = nullptr;
    std::vector<unsigned char> ramL = std::vector<unsigned char>(1);
    std::vector<unsigned char> ramP = std::vector<unsigned char>(1);
    std::vector<unsigned char> *ramCurr = nullptr;
    FBO fboL;
    FBO fboP;
    FBO *fboCurr = nullptr;
    bool landscape = true;
    bool separateOrientations = false;
    // The photograph's own size: output sizes are computed from it, so a
    // reduced decoding gives the same thumbnail size as a full one.
    int photoWidth = 0;
    int photoHeight = 0;
    int maxTexture = 0;
};

#endif
