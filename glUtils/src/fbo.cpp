#include "fbo.h"

#include <GL/glew.h>

#include <QDebug>
#include <QImage>
#include <QImageReader>

#include <cstdio>

// Preconditions stay active in release builds: a violation is a programming
// error that would otherwise corrupt GL state silently.
#define FBO_PRECONDITION(cond, text)                                                                         \
    do {                                                                                                     \
        if (!(cond))                                                                                         \
            qt_assert_x("glUtils/src/fbo", text, __FILE__, __LINE__);                                        \
    } while (false)

namespace
{

bool generateMipmapAvailable()
{
    return glGenerateMipmap != nullptr;
}

bool framebufferComplete()
{
    return glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
}

void shortReport()
{
    qDebug("Debug - FBO is not frambebuffer complete!\n");
}

} // namespace

// ---------------------------------------------------------------- Texture

Texture::~Texture()
{
    release();
}

bool Texture::isDepth() const
{
    return format == GL_DEPTH_COMPONENT || format == GL_DEPTH_COMPONENT16 || format == GL_DEPTH_COMPONENT24;
}

unsigned int Texture::externalFormat() const
{
    if (isDepth())
        return GL_DEPTH_COMPONENT;
    if (format == GL_RGB || format == GL_RGB8 || format == GL_RGB16)
        return GL_RGB;
    return GL_RGBA;
}

void Texture::bind()
{
    glBindTexture(GL_TEXTURE_2D, id);
}

void Texture::upload(const void *data)
{
    if (!glIsTexture(id))
        glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmap ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    const bool generateAfterUpload = mipmap && !mipmapsByCaller && generateMipmapAvailable();
    if (mipmap && !mipmapsByCaller && !generateAfterUpload)
        glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    if (isDepth())
        glTexParameteri(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE, GL_LUMINANCE);
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), width, height, 0, externalFormat(), type, data);
    if (generateAfterUpload)
        glGenerateMipmap(GL_TEXTURE_2D);
    glFinish();
}

void Texture::create(int newWidth, int newHeight, unsigned int newType, unsigned int newFormat,
                     bool newMipmap)
{
    width = newWidth;
    height = newHeight;
    type = newType;
    format = newFormat;
    mipmap = newMipmap;
    upload(nullptr);
}

void Texture::create(const void *data, int newWidth, int newHeight, unsigned int newFormat, bool newMipmap)
{
    width = newWidth;
    height = newHeight;
    type = GL_UNSIGNED_BYTE;
    format = newFormat;
    mipmap = newMipmap;
    upload(data);
}

void Texture::resize(int newWidth, int newHeight)
{
    width = newWidth;
    height = newHeight;
    upload(nullptr);
}

bool Texture::loadFromFile(const QString &path, bool newMipmap, QString *error)
{
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull()) {
        width = 0;
        height = 0;
        if (error)
            *error = reader.errorString();
        return false;
    }
    // Bottom row first, RGBA byte order: the layout glTexImage2D expects.
    return loadFromGLImage(image.convertToFormat(QImage::Format_RGBA8888).mirrored(), newMipmap);
}

bool Texture::loadFromGLImage(const QImage &image, bool newMipmap)
{
    if (image.isNull() || image.format() != QImage::Format_RGBA8888) {
        width = 0;
        height = 0;
        return false;
    }
    width = image.width();
    height = image.height();
    type = GL_UNSIGNED_BYTE;
    format = GL_RGBA8;
    mipmap = newMipmap;
    // RGBA rows are always 4-byte aligned, matching the default unpack alignment.
    upload(image.constBits());
    return true;
}

void Texture::download(unsigned int downloadType, unsigned int downloadFormat, void *destination)
{
    glBindTexture(GL_TEXTURE_2D, id);
    glGetTexImage(GL_TEXTURE_2D, 0, downloadFormat, downloadType, destination);
}

void Texture::release()
{
    if (id != 0 && glIsTexture(id)) {
        glBindTexture(GL_TEXTURE_2D, 0);
        glDeleteTextures(1, &id);
    }
    id = 0;
}

// ---------------------------------------------------------------- FBO

FBO::~FBO()
{
    destroy();
}

bool FBO::attachColorTexture(Texture &texture)
{
    if (id == 0)
        glGenFramebuffersEXT(1, &id);
    else
        FBO_PRECONDITION(((h == 0) && (w == 0)) || (textures.size() == 0),
                         "((h==0) && (w==0)) || (textures.size()==0)");
    w = texture.width;
    h = texture.height;
    textures.append(&texture);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, id);
    texture.bind();
    const unsigned int attachment = std::min<unsigned int>(
        GL_COLOR_ATTACHMENT0_EXT + unsigned(textures.size() - 1), GL_COLOR_ATTACHMENT15_EXT);
    drawBuffers.append(attachment);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, attachment, GL_TEXTURE_2D, texture.id, 0);
    glDrawBuffers(GLsizei(drawBuffers.size()), drawBuffers.constData());
    if (!framebufferComplete())
        return checkStatus();
    return true;
}

void FBO::attachDepthTexture(Texture &texture)
{
    if (id == 0)
        glGenFramebuffersEXT(1, &id);
    w = texture.width;
    h = texture.height;
    textures.append(&texture);
    FBO_PRECONDITION((texture.format == GL_DEPTH_COMPONENT) || (texture.format == GL_DEPTH_COMPONENT16) ||
                         (texture.format == GL_DEPTH_COMPONENT24),
                     "(t.format == GL_DEPTH_COMPONENT) || (t.format == GL_DEPTH_COMPONENT16) || "
                     "(t.format == GL_DEPTH_COMPONENT24)");
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, id);
    texture.bind();
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D, texture.id, 0);
    if (drawBuffers.isEmpty()) {
        glDrawBuffer(GL_NONE);
        glReadBuffer(GL_NONE);
    }
    if (!framebufferComplete())
        shortReport();
}

void FBO::attachDepthRenderbuffer(int width, int height)
{
    if (width != 0)
        w = width;
    if (height != 0)
        h = height;
    if (id == 0)
        glGenFramebuffersEXT(1, &id);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, id);
    if (depthRenderbuffer == NoRenderbuffer)
        glGenRenderbuffersEXT(1, &depthRenderbuffer);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, depthRenderbuffer);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT, w, h);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                 depthRenderbuffer);
    if (!framebufferComplete())
        shortReport();
}

void FBO::resize(int width, int height)
{
    w = width;
    h = height;
    if (id == 0)
        return;
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, id);
    for (Texture *texture : std::as_const(textures))
        texture->resize(w, h);
    if (depthRenderbuffer != NoRenderbuffer) {
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, depthRenderbuffer);
        glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT, w, h);
        glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                     depthRenderbuffer);
    }
    if (!framebufferComplete())
        shortReport();
}

void FBO::bind()
{
    glViewport(0, 0, w, h);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, id);
}

void FBO::destroy()
{
    if (id != 0 && glIsFramebufferEXT(id)) {
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        glDeleteFramebuffersEXT(1, &id);
    }
    // The renderbuffer belongs to this object alone, so it goes with it.
    if (depthRenderbuffer != NoRenderbuffer && glIsRenderbufferEXT(depthRenderbuffer))
        glDeleteRenderbuffersEXT(1, &depthRenderbuffer);
    forget();
}

void FBO::forget()
{
    id = 0;
    textures.clear();
    drawBuffers.clear();
    depthRenderbuffer = NoRenderbuffer;
}

QString FBO::statusText(unsigned int status)
{
    switch (status) {
    case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT:
        return QStringLiteral("Framebuffer attachment is not \"framebuffer attachment complete.\"");
    case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT:
        return QStringLiteral("No image attached to the framebuffer.");
    case GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT:
        return QStringLiteral("Attached images do not have the same width and height.");
    case GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT:
        return QStringLiteral("All images attached to the attachment points COLOR_ATTACHMENT0_EXT through "
                              "COLOR_ATTACHMENTn_EXT must have the same internal format.");
    case GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT:
        return QStringLiteral("The value of FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE_EXT must not be NONE for any "
                              "color attachment point(s) named by DRAW_BUFFERi.");
    case GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT:
        return QStringLiteral(
            "If READ_BUFFER is not NONE, then the value of FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE_EXT "
            "must not be NONE for the color attachment point named by READ_BUFFER.");
    case GL_FRAMEBUFFER_UNSUPPORTED_EXT:
        return QStringLiteral("The combination of internal formats of the attached images violates an "
                              "implementation-dependent set of restrictions.");
    default:
        return QStringLiteral("Unrecognized error");
    }
}

bool FBO::checkStatus()
{
    const GLenum status = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
    if (status == GL_FRAMEBUFFER_COMPLETE_EXT)
        return true;
    std::printf("Error (%d): %s\n", int(status), statusText(status).toLatin1().constData());
    std::fflush(stdout);
    return false;
}

void drawViewportQuad(bool upsideDown)
{
    const float bottom = upsideDown ? 1.0f : 0.0f, top = 1.0f - bottom;
    glBegin(GL_QUADS);
    glTexCoord2f(0, bottom);
    glVertex2f(-1, -1);
    glTexCoord2f(1, bottom);
    glVertex2f(1, -1);
    glTexCoord2f(1, top);
    glVertex2f(1, 1);
    glTexCoord2f(0, top);
    glVertex2f(-1, 1);
    glEnd();
}
