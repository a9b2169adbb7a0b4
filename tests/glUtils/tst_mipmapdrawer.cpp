#include <GL/glew.h>

#include "fbo.h"
#include "mipmapdrawer.h"
#include "offscreenglwidget.h"

#include <QGuiApplication>
#include <QRandomGenerator>
#include <QtTest>

#include <vector>

namespace
{

std::vector<quint32> noise(int width, int height, quint32 seed)
{
    QRandomGenerator random(seed);
    std::vector<quint32> pixels(size_t(width) * size_t(height));
    for (quint32 &pixel : pixels)
        pixel = random.generate();
    return pixels;
}

QByteArray levelBytes(const Texture &texture, int level)
{
    GLint width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, texture.id);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
    QByteArray bytes(4 * width * height, '\0');
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    return bytes;
}

GLint textureParameter(const Texture &texture, GLenum name)
{
    GLint value = -1;
    glBindTexture(GL_TEXTURE_2D, texture.id);
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

} // namespace

class TestMipmapDrawer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase() { delete m_widget; }
    void init() { QVERIFY(m_widget->makeCurrent()); }

    void levelsMatchGenerateMipmap_data();
    void levelsMatchGenerateMipmap();
    void partialChainIsCompleteAndLeavesStateAlone();

private:
    OffscreenGLWidget *m_widget = nullptr;
};

void TestMipmapDrawer::initTestCase()
{
    m_widget = new OffscreenGLWidget;
    // Without GL this must fail, never skip.
    QVERIFY2(m_widget->isValid(), qPrintable(m_widget->errorString()));
    QVERIFY2(m_widget->updateGL(), qPrintable(m_widget->errorString()));
}

void TestMipmapDrawer::levelsMatchGenerateMipmap_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("power of two") << QSize(64, 32);
    QTest::newRow("odd sides") << QSize(37, 21);
    QTest::newRow("reduced photograph") << QSize(500, 375);
    QTest::newRow("portrait") << QSize(375, 500);
    QTest::newRow("one column") << QSize(1, 9);
}

void TestMipmapDrawer::levelsMatchGenerateMipmap()
{
    QFETCH(QSize, size);
    const std::vector<quint32> pixels =
        noise(size.width(), size.height(), quint32(size.width() * size.height()));
    Texture generated;
    generated.create(pixels.data(), size.width(), size.height(), GL_RGBA8, true);
    Texture drawn;
    drawn.mipmapsByCaller = true;
    drawn.create(pixels.data(), size.width(), size.height(), GL_RGBA8, true);
    MipmapDrawer drawer;
    const int lastLevel = MipmapDrawer::lastLevelOf(size.width(), size.height());
    QVERIFY(drawer.draw(drawn, lastLevel + 3));
    QCOMPARE(textureParameter(drawn, GL_TEXTURE_MAX_LEVEL), lastLevel);
    // Byte for byte: thumbnails made either way must not differ.
    for (int level = 0; level <= lastLevel; ++level)
        QVERIFY2(levelBytes(drawn, level) == levelBytes(generated, level),
                 qPrintable(QString::number(level)));
    QCOMPARE(GLenum(glGetError()), GLenum(GL_NO_ERROR));
}

void TestMipmapDrawer::partialChainIsCompleteAndLeavesStateAlone()
{
    const std::vector<quint32> pixels = noise(40, 30, 7);
    Texture target;
    target.create(8, 8, GL_UNSIGNED_BYTE, GL_RGBA8, false);
    FBO fbo;
    QVERIFY(fbo.attachColorTexture(target));
    fbo.bind();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 8, 0, 8, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

    Texture texture;
    texture.mipmapsByCaller = true;
    texture.create(pixels.data(), 40, 30, GL_RGBA8, true);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_LOD_BIAS, -0.75f);
    MipmapDrawer drawer;
    QVERIFY(drawer.draw(texture, 2));
    GLfloat lodBias = 0.0f;
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_LOD_BIAS, &lodBias);
    QCOMPARE(lodBias, -0.75f);
    QCOMPARE(textureParameter(texture, GL_TEXTURE_BASE_LEVEL), 0);
    QCOMPARE(textureParameter(texture, GL_TEXTURE_MAX_LEVEL), 2);
    QCOMPARE(textureParameter(texture, GL_TEXTURE_MIN_FILTER), GLint(GL_LINEAR_MIPMAP_LINEAR));
    QCOMPARE(levelBytes(texture, 2).size(), 4 * 10 * 7);

    GLint framebuffer = -1, viewport[4] = {}, matrixMode = -1, environment = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &framebuffer);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &environment);
    GLfloat projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    QCOMPARE(GLuint(framebuffer), fbo.id);
    QCOMPARE(viewport[2], 8);
    QCOMPARE(matrixMode, GLint(GL_MODELVIEW));
    QCOMPARE(environment, GLint(GL_MODULATE));
    QCOMPARE(projection[0], 2.0f / 8.0f);
    QVERIFY(glIsEnabled(GL_BLEND));
    glDisable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    QCOMPARE(GLenum(glGetError()), GLenum(GL_NO_ERROR));
}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    TestMipmapDrawer test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mipmapdrawer.moc"
