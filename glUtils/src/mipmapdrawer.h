#ifndef GLUTILS_MIPMAPDRAWER_H
#define GLUTILS_MIPMAPDRAWER_H

class Texture;

// Fills mipmap levels of a texture whose level 0 is uploaded, each level drawn from the one above with
// bilinear filtering into a framebuffer: on the software driver the very pixels of glGenerateMipmap.
// The driver compiles glGenerateMipmap's own drawing code anew in every process (about 50 ms of
// processor time), while the fixed-function draws used here come from its on-disk shader cache after
// the first run; and only the levels a draw reads need be made.
//
// Works on the context current on the calling thread, like Texture; leaves the framebuffer binding,
// viewport, matrices, enables and texture environment as it found them.
class MipmapDrawer
{
public:
    MipmapDrawer() = default;
    ~MipmapDrawer();
    MipmapDrawer(const MipmapDrawer &) = delete;
    MipmapDrawer &operator=(const MipmapDrawer &) = delete;

    // Defines and draws levels 1 to `lastLevel` of `texture` (bound to GL_TEXTURE_2D afterwards),
    // fewer when the chain ends sooner, and makes the last one drawn the texture's maximum level.
    // When the framebuffer cannot take a level, glGenerateMipmap makes the whole chain and the
    // answer is false.
    bool draw(Texture &texture, int lastLevel);
    // Deletes the framebuffer; harmless when repeated.
    void destroy();
    // Drops the name without any GL call, for when the context is already gone.
    void forget() { m_framebuffer = 0; }

    // Index of the last level of a full chain for a texture of this size.
    static int lastLevelOf(int width, int height);

private:
    unsigned int m_framebuffer = 0;
};

#endif
