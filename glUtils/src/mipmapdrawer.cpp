#include "mipmapdrawer.h"

#include "fbo.h"

#include <GL/glew.h>

#include <algorithm>

MipmapDrawer::~MipmapDrawer()
{
    destroy();
}

void MipmapDrawer::destroy()
{
    if (m_framebuffer != 0 && glIsFramebufferEXT(m_framebuffer))
        glDeleteFramebuffersEXT(1, &m_framebuffer);
    forget();
}

int MipmapDrawer::lastLevelOf(int width, int height)
{
    int level = 0;
    for (int side = std::max(width, height); side > 1; side /= 2)
        ++level;
    return level;
}

bool MipmapDrawer::draw(Texture &texture, int lastLevel)
{
    if (texture.id == 0 || texture.width <= 0 || texture.height <= 0)
        return false;
    lastLevel = std::clamp(lastLevel, 0, lastLevelOf(texture.width, texture.height));
    if (m_framebuffer == 0)
        glGenFramebuffersEXT(1, &m_framebuffer);
    GLint previousFramebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &previousFramebuffer);
    GLint previousEnvironment = GL_MODULATE;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &previousEnvironment);
    glPushAttrib(GL_ENABLE_BIT | GL_VIEWPORT_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_TRANSFORM_BIT);
    for (const GLenum matrix : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(matrix);
        glPushMatrix();
        glLoadIdentity();
    }
    for (const GLenum capability : {GL_DEPTH_TEST, GL_STENCIL_TEST, GL_SCISSOR_TEST, GL_BLEND, GL_ALPHA_TEST,
                                    GL_LIGHTING, GL_FOG, GL_CULL_FACE, GL_COLOR_LOGIC_OP})
        glDisable(capability);
    glEnable(GL_TEXTURE_2D);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);

    glBindTexture(GL_TEXTURE_2D, texture.id);
    GLint minFilter = GL_LINEAR_MIPMAP_LINEAR;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    // The bias changes no pixel here, but the driver compiles its drawing code anew for each value.
    GLfloat lodBias = 0.0f;
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_LOD_BIAS, &lodBias);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_LOD_BIAS, 0.0f);
    for (int level = 1; level <= lastLevel; ++level)
        glTexImage2D(GL_TEXTURE_2D, level, GLint(texture.format), std::max(1, texture.width >> level),
                     std::max(1, texture.height >> level), 0, texture.externalFormat(), texture.type,
                     nullptr);
    // Each level read alone, bilinearly, at the centres of the next level's pixels.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, m_framebuffer);
    glDrawBuffer(GL_COLOR_ATTACHMENT0_EXT);
    bool drawn = true;
    for (int level = 1; level <= lastLevel && drawn; ++level) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, level - 1);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, level - 1);
        glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, texture.id,
                                  level);
        drawn = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
        if (!drawn)
            break;
        glViewport(0, 0, std::max(1, texture.width >> level), std::max(1, texture.height >> level));
        drawViewportQuad();
    }
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, 0, 0);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, GLuint(previousFramebuffer));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, drawn ? lastLevel : 1000);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_LOD_BIAS, lodBias);
    if (!drawn && glGenerateMipmap)
        glGenerateMipmap(GL_TEXTURE_2D);

    for (const GLenum matrix : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(matrix);
        glPopMatrix();
    }
    glPopAttrib();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, previousEnvironment);
    return drawn;
}
