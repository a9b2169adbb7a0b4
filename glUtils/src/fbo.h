#ifndef GLUTILS_FBO_H
#define GLUTILS_FBO_H

#include <QString>
#include <QVector>

class QImage;

// GL texture and framebuffer-object helpers. Neither owns a context: every
// call works on the context current on the calling thread, which must be the
// one that was current when the object was first used. GL names and enums are
// kept as plain unsigned integers so that this header stays free of GL headers
// (GLEW and Qt's GL headers must not meet in one translation unit).

// A 2D texture with its size, formats and mipmap switch. Owns its GL name.
class Texture
{
public:
    Texture() = default;
    ~Texture();
    Texture(const Texture &) = delete;
    Texture &operator=(const Texture &) = delete;

    unsigned int id = 0;     // GL texture name, 0 = not created yet
    unsigned int type = 0;   // pixel data type of uploads (GL_UNSIGNED_BYTE, GL_FLOAT)
    unsigned int format = 0; // internal format (GL_RGBA8, GL_DEPTH_COMPONENT24, ...)
    int width = 0;
    int height = 0;
    bool mipmap = false;
    // With mipmap: upload() defines level 0 alone and the caller fills the others (MipmapDrawer)
    // instead of glGenerateMipmap.
    bool mipmapsByCaller = false;

    bool isDepth() const;
    // GL_DEPTH_COMPONENT, GL_RGB or GL_RGBA, chosen by the internal format.
    unsigned int externalFormat() const;

    void bind();
    // (Re)specifies the whole level-0 image; `data` may be null.
    void upload(const void *data);
    void create(int width, int height, unsigned int type, unsigned int format, bool mipmap);
    void create(const void *data, int width, int height, unsigned int format, bool mipmap);
    void resize(int width, int height);
    // Loads an image file as GL_RGBA8 in GL row order (bottom row first).
    // On an unreadable file the texture becomes 0 x 0, nothing is uploaded,
    // and false is returned with the reason in `error`.
    bool loadFromFile(const QString &path, bool mipmap, QString *error = nullptr);
    // Uploads an image already in GL layout (QImage::Format_RGBA8888, bottom row first).
    bool loadFromGLImage(const QImage &image, bool mipmap);
    // Reads level 0; the caller sizes `destination` (rows padded to GL_PACK_ALIGNMENT).
    void download(unsigned int type, unsigned int format, void *destination);
    // Deletes the GL texture, if any.
    void release();
    // Drops the name without any GL call, for when the context is already gone.
    void forget() { id = 0; }
};

// An off-screen framebuffer object. Never owns the textures attached to it.
class FBO
{
public:
    static constexpr unsigned int NoRenderbuffer = 9999;

    FBO() = default;
    ~FBO();
    FBO(const FBO &) = delete;
    FBO &operator=(const FBO &) = delete;

    unsigned int id = 0; // GL framebuffer name, 0 = not generated yet
    int w = 0;
    int h = 0;
    QVector<Texture *> textures;       // every attachment, in attachment order
    QVector<unsigned int> drawBuffers; // colour attachment point of each colour texture
    unsigned int depthRenderbuffer = NoRenderbuffer;

    // Returns whether the framebuffer is complete (long report otherwise).
    bool attachColorTexture(Texture &texture);
    void attachDepthTexture(Texture &texture);
    // A 0 argument keeps the current size.
    void attachDepthRenderbuffer(int width = 0, int height = 0);
    // Re-specifies every attached texture (new, undefined contents) and the
    // depth renderbuffer, even when the size is unchanged.
    void resize(int width, int height);
    // Sets the viewport to the framebuffer's size and binds it.
    void bind();
    // Deletes the framebuffer and the depth renderbuffer; forgets the textures
    // without deleting them. Harmless when repeated.
    void destroy();
    // Drops every name without GL calls, for when the context is already gone.
    void forget();
    // Long completeness report on standard output; true when complete.
    bool checkStatus();

    // Text of the long report for a framebuffer status value.
    static QString statusText(unsigned int status);
};

// Draws the bound texture over the whole viewport, with identity matrices. upsideDown puts the
// texture's first row at the top (a texture stored bottom row first is then read back top first).
void drawViewportQuad(bool upsideDown = false);

#endif
