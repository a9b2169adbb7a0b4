#include <GL/glew.h>

#include "fbo.h"
#include "mipmapdrawer.h"
#include "offscreenglwidget.h"
#include "testsupport.h"

#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <unistd.h>

namespace
{

GLint integerState(GLenum name)
{
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

GLint textureLevelWidth(const Texture &texture, int level)
{
    GLint value = -1;
    glBindTexture(GL_TEXTURE_2D, texture.id);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &value);
    return value;
}

QByteArray levelBytes(const Texture &texture, int level)
{
    const int width = std::max(1, texture.width >> level), height = std::max(1, texture.height >> level);
    QByteArray bytes(4 * width * height, '\0');
    glBindTexture(GL_TEXTURE_2D, texture.id);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    return bytes;
}

GLint colourAttachmentName()
{
    GLint name = -1;
    glGetFramebufferAttachmentParameterivEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT,
                                             GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME_EXT, &name);
    return name;
}

// Captures what is written to file descriptor 1 while it lives.
class StdoutCapture
{
public:
    StdoutCapture()
    {
        std::fflush(stdout);
        m_saved = dup(1);
        m_file = std::tmpfile();
        dup2(fileno(m_file), 1);
    }
    QByteArray finish()
    {
        std::fflush(stdout);
        dup2(m_saved, 1);
        close(m_saved);
        std::rewind(m_file);
        QByteArray text;
        char buffer[512];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, m_file)) > 0)
            text.append(buffer, qsizetype(n));
        std::fclose(m_file);
        return text;
    }

private:
    int m_saved = -1;
    FILE *m_file = nullptr;
};

// Violates one precondition in a child process: it must stop with the text.
int violatePrecondition(const QByteArray &which)
{
    OffscreenGLWidget widget;
    if (!widget.updateGL())
        return 2;
    Texture colour;
    colour.create(4, 4, GL_UNSIGNED_BYTE, GL_RGBA8, false);
    FBO fbo;
    if (which == "colour") {
        fbo.attachColorTexture(colour);
        fbo.attachColorTexture(colour); // a second colour texture on a sized FBO
    } else {
        fbo.attachDepthTexture(colour); // not a depth format
    }
    return 0;
}

} // namespace

class TestFBO : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase() { delete m_widget; }
    void init() { QVERIFY(m_widget->makeCurrent()); }

    void textureKindsFollowTheInternalFormat_data();
    void textureKindsFollowTheInternalFormat();
    void mipmappedTextureHasItsChainAndFilter();
    void drawnLevelsMatchGenerateMipmap_data();
    void drawnLevelsMatchGenerateMipmap();
    void mipmapDrawerLeavesStateAlone();
    void loadFromFileKeepsGLRowOrder();
    void unreadableFileGivesEmptyTexture();
    void releaseDeletesTheTexture();

    void freshColourAttachGeneratesAndSizes();
    void depthAfterColourKeepsColourDrawBuffer();
    void depthAloneSetsDrawAndReadBufferToNone();
    void depthRenderbufferUsesSentinel();
    void resizeBeforeAttachOnlyStoresSize();
    void resizeRespecifiesAttachedTextures();
    void destroyTwiceIsHarmlessAndTexturesSurvive();

    void statusTexts_data();
    void statusTexts();
    void longReportGoesToStandardOutput();
    void shortReportGoesToDebugOutput();
    void preconditionsStopTheProgram_data();
    void preconditionsStopTheProgram();

private:
    OffscreenGLWidget *m_widget = nullptr;
};

void TestFBO::initTestCase()
{
    m_widget = new OffscreenGLWidget;
    // Without GL this must fail, never skip.
    QVERIFY2(m_widget->isValid(), qPrintable(m_widget->errorString()));
    QVERIFY2(m_widget->updateGL(), qPrintable(m_widget->errorString()));
}

void TestFBO::textureKindsFollowTheInternalFormat_data()
{
    QTest::addColumn<unsigned int>("format");
    QTest::addColumn<unsigned int>("external");
    QTest::addColumn<bool>("depth");
    QTest::newRow("depth") << 0u + GL_DEPTH_COMPONENT << 0u + GL_DEPTH_COMPONENT << true;
    QTest::newRow("depth16") << 0u + GL_DEPTH_COMPONENT16 << 0u + GL_DEPTH_COMPONENT << true;
    QTest::newRow("depth24") << 0u + GL_DEPTH_COMPONENT24 << 0u + GL_DEPTH_COMPONENT << true;
    QTest::newRow("rgb") << 0u + GL_RGB << 0u + GL_RGB << false;
    QTest::newRow("rgb8") << 0u + GL_RGB8 << 0u + GL_RGB << false;
    QTest::newRow("rgb16") << 0u + GL_RGB16 << 0u + GL_RGB << false;
    QTest::newRow("rgba8") << 0u + GL_RGBA8 << 0u + GL_RGBA << false;
    QTest::newRow("rgba") << 0u + GL_RGBA << 0u + GL_RGBA << false;
}

void TestFBO::textureKindsFollowTheInternalFormat()
{
    QFETCH(unsigned int, format);
    QFETCH(unsigned int, external);
    QFETCH(bool, depth);
    Texture texture;
    texture.create(8, 4, depth ? GL_FLOAT : GL_UNSIGNED_BYTE, format, false);
    QCOMPARE(texture.externalFormat(), external);
    QCOMPARE(texture.isDepth(), depth);
    QVERIFY(texture.id != 0);
    QCOMPARE(textureLevelWidth(texture, 0), 8);
    QCOMPARE(GLenum(glGetError()), GLenum(GL_NO_ERROR));
}

void TestFBO::mipmappedTextureHasItsChainAndFilter()
{
    QVector<quint32> pixels(64 * 32, 0xff00ff00u);
    Texture texture;
    texture.create(pixels.constData(), 64, 32, GL_RGBA8, true);
    QCOMPARE(texture.type, 0u + GL_UNSIGNED_BYTE);
    GLint minFilter = 0, generate = -1;
    glBindTexture(GL_TEXTURE_2D, texture.id);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, &generate);
    QCOMPARE(minFilter, GLint(GL_LINEAR_MIPMAP_LINEAR));
    // glGenerateMipmap is available here, so the automatic parameter stays off.
    QVERIFY(glGenerateMipmap != nullptr);
    QCOMPARE(generate, GLint(GL_FALSE));
    QCOMPARE(textureLevelWidth(texture, 1), 32);
    QCOMPARE(textureLevelWidth(texture, 6), 1);

    Texture plain;
    plain.create(16, 16, GL_UNSIGNED_BYTE, GL_RGBA8, false);
    glBindTexture(GL_TEXTURE_2D, plain.id);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    QCOMPARE(minFilter, GLint(GL_NEAREST));
}

void TestFBO::drawnLevelsMatchGenerateMipmap_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("power of two") << QSize(64, 32);
    QTest::newRow("odd sides") << QSize(37, 21);
    QTest::newRow("reduced photograph") << QSize(500, 375);
    QTest::newRow("one column") << QSize(1, 9);
}

void TestFBO::drawnLevelsMatchGenerateMipmap()
{
    QFETCH(QSize, size);
    QVector<quint32> noise(size.width() * size.height());
    QRandomGenerator(quint32(size.width())).fillRange(noise.data(), noise.size());
    Texture generated, drawn;
    generated.create(noise.constData(), size.width(), size.height(), GL_RGBA8, true);
    drawn.mipmapsByCaller = true;
    drawn.create(noise.constData(), size.width(), size.height(), GL_RGBA8, true);
    MipmapDrawer drawer;
    const int lastLevel = MipmapDrawer::lastLevelOf(size.width(), size.height());
    QVERIFY(drawer.draw(drawn, lastLevel + 3));
    GLint maxLevel = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, &maxLevel);
    QCOMPARE(maxLevel, lastLevel);
    // Byte for byte: thumbnails made either way must not differ.
    for (int level = 1; level <= lastLevel; ++level)
        QVERIFY2(levelBytes(drawn, level) == levelBytes(generated, level),
                 qPrintable(QString::number(level)));
}

void TestFBO::mipmapDrawerLeavesStateAlone()
{
    Texture target, texture;
    target.create(8, 8, GL_UNSIGNED_BYTE, GL_RGBA8, false);
    FBO fbo;
    QVERIFY(fbo.attachColorTexture(target));
    fbo.bind();
    glEnable(GL_BLEND);
    texture.mipmapsByCaller = true;
    texture.create(40, 30, GL_UNSIGNED_BYTE, GL_RGBA8, true);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_LOD_BIAS, -0.75f);
    MipmapDrawer drawer;
    QVERIFY(drawer.draw(texture, 2));
    GLint maxLevel = -1, minFilter = -1, environment = -1, viewport[4] = {};
    GLfloat lodBias = 0.0f;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, &maxLevel);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_LOD_BIAS, &lodBias);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &environment);
    glGetIntegerv(GL_VIEWPORT, viewport);
    QCOMPARE(maxLevel, 2);
    QCOMPARE(minFilter, GLint(GL_LINEAR_MIPMAP_LINEAR));
    QCOMPARE(lodBias, -0.75f);
    QCOMPARE(environment, GLint(GL_MODULATE));
    QCOMPARE(GLuint(integerState(GL_FRAMEBUFFER_BINDING_EXT)), fbo.id);
    QCOMPARE(viewport[2], 8);
    QVERIFY(glIsEnabled(GL_BLEND));
    glDisable(GL_BLEND);
    QCOMPARE(GLenum(glGetError()), GLenum(GL_NO_ERROR));
}

void TestFBO::loadFromFileKeepsGLRowOrder()
{
    QTemporaryDir dir;
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::black);
    image.setPixel(0, 0, qRgb(255, 0, 0)); // top left
    image.setPixel(2, 1, qRgb(0, 0, 255)); // bottom right
    const QString path = dir.filePath("pattern.png");
    QVERIFY(image.save(path));

    Texture texture;
    QVERIFY(texture.loadFromFile(path, false));
    QCOMPARE(texture.width, 3);
    QCOMPARE(texture.height, 2);
    QCOMPARE(texture.format, 0u + GL_RGBA8);
    QVector<unsigned char> rgba(3 * 2 * 4);
    texture.download(GL_UNSIGNED_BYTE, GL_RGBA, rgba.data());
    // First row in GL is the bottom row of the picture.
    const unsigned char *bottomRight = rgba.data() + 2 * 4;
    const unsigned char *topLeft = rgba.data() + 3 * 4;
    QCOMPARE(int(bottomRight[2]), 255);
    QCOMPARE(int(bottomRight[0]), 0);
    QCOMPARE(int(topLeft[0]), 255);
    QCOMPARE(int(topLeft[2]), 0);
}

void TestFBO::unreadableFileGivesEmptyTexture()
{
    QTemporaryDir dir;
    const QString junk = dir.filePath("junk.jpg");
    QVERIFY(writeFile(junk, "this is not a picture"));
    Texture texture;
    texture.create(4, 4, GL_UNSIGNED_BYTE, GL_RGBA8, false);
    QString error;
    QVERIFY(!texture.loadFromFile(junk, true, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(texture.width, 0);
    QCOMPARE(texture.height, 0);
    QVERIFY(!texture.loadFromFile(dir.filePath("missing.png"), true));
}

void TestFBO::releaseDeletesTheTexture()
{
    Texture texture;
    texture.create(4, 4, GL_UNSIGNED_BYTE, GL_RGBA8, false);
    const GLuint name = texture.id;
    QVERIFY(glIsTexture(name));
    texture.release();
    QVERIFY(!glIsTexture(name));
    QCOMPARE(texture.id, 0u);
    texture.release(); // again: nothing to do
}

void TestFBO::freshColourAttachGeneratesAndSizes()
{
    Texture colour;
    colour.create(64, 48, GL_UNSIGNED_BYTE, GL_RGBA8, false);
    FBO fbo;
    QCOMPARE(fbo.depthRenderbuffer, 9999u);
    QVERIFY(fbo.attachColorTexture(colour));
    QVERIFY(fbo.id != 0);
    QVERIFY(glIsFramebufferEXT(fbo.id));
    QCOMPARE(fbo.w, 64);
    QCOMPARE(fbo.h, 48);
    QCOMPARE(fbo.textures, QVector<Texture *>{&colour});
    QCOMPARE(fbo.drawBuffers, QVector<unsigned int>{GL_COLOR_ATTACHMENT0_EXT});
    fbo.bind();
    QCOMPARE(colourAttachmentName(), GLint(colour.id));
    QCOMPARE(integerState(GL_DRAW_BUFFER), GLint(GL_COLOR_ATTACHMENT0_EXT));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    QCOMPARE(viewport[2], 64);
    QCOMPARE(viewport[3], 48);

    // Drawing into it lands in the texture.
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    QVector<unsigned char> rgba(64 * 48 * 4);
    colour.download(GL_UNSIGNED_BYTE, GL_RGBA, rgba.data());
    QCOMPARE(int(rgba[1]), 255);
    QCOMPARE(int(rgba[0]), 0);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void TestFBO::depthAfterColourKeepsColourDrawBuffer()
{
    Texture colour, depth;
    colour.create(32, 32, GL_UNSIGNED_BYTE, GL_RGBA8, false);
    depth.create(32, 32, GL_FLOAT, GL_DEPTH_COMPONENT24, false);
    FBO fbo;
    QVERIFY(fbo.attachColorTexture(colour));
    fbo.attachDepthTexture(depth);
    QCOMPARE(fbo.textures.size(), 2);
    QCOMPARE(fbo.drawBuffers.size(), 1);
    fbo.bind();
    QCOMPARE(integerState(GL_DRAW_BUFFER), GLint(GL_COLOR_ATTACHMENT0_EXT));
    QCOMPARE(GLenum(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT)), GLenum(GL_FRAMEBUFFER_COMPLETE_EXT));
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void TestFBO::depthAloneSetsDrawAndReadBufferToNone()
{
    Texture depth;
    depth.create(16, 8, GL_FLOAT, GL_DEPTH_COMPONENT24, false);
    FBO fbo;
    fbo.attachDepthTexture(depth);
    QVERIFY(fbo.id != 0);
    QCOMPARE(fbo.w, 16);
    QCOMPARE(fbo.h, 8);
    QVERIFY(fbo.drawBuffers.isEmpty());
    fbo.bind();
    QCOMPARE(integerState(GL_DRAW_BUFFER), GLint(GL_NONE));
    QCOMPARE(integerState(GL_READ_BUFFER), GLint(GL_NONE));
    QCOMPARE(GLenum(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT)), GLenum(GL_FRAMEBUFFER_COMPLETE_EXT));

    // Depth can be drawn and read back.
    glClearDepth(0.25);
    glClear(GL_DEPTH_BUFFER_BIT);
    glFinish();
    QVector<float> values(16 * 8);
    depth.download(GL_FLOAT, GL_DEPTH_COMPONENT, values.data());
    QVERIFY(qAbs(values[0] - 0.25f) < 1e-4f);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void TestFBO::depthRenderbufferUsesSentinel()
{
    Texture colour;
    colour.create(20, 10, GL_UNSIGNED_BYTE, GL_RGBA8, false);
    FBO fbo;
    QVERIFY(fbo.attachColorTexture(colour));
    fbo.attachDepthRenderbuffer();
    QVERIFY(fbo.depthRenderbuffer != 9999u);
    QVERIFY(glIsRenderbufferEXT(fbo.depthRenderbuffer));
    GLint width = 0;
    glGetRenderbufferParameterivEXT(GL_RENDERBUFFER_EXT, GL_RENDERBUFFER_WIDTH_EXT, &width);
    QCOMPARE(width, 20);
    const GLuint renderbuffer = fbo.depthRenderbuffer;
    fbo.attachDepthRenderbuffer(); // reuses the same one
    QCOMPARE(fbo.depthRenderbuffer, renderbuffer);
    fbo.resize(40, 30);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, fbo.depthRenderbuffer);
    glGetRenderbufferParameterivEXT(GL_RENDERBUFFER_EXT, GL_RENDERBUFFER_WIDTH_EXT, &width);
    QCOMPARE(width, 40);
    fbo.destroy();
    QCOMPARE(fbo.depthRenderbuffer, 9999u);
    QVERIFY(!glIsRenderbufferEXT(renderbuffer));
}

void TestFBO::resizeBeforeAttachOnlyStoresSize()
{
    FBO fbo;
    fbo.resize(100, 50);
    QCOMPARE(fbo.w, 100);
    QCOMPARE(fbo.h, 50);
    QCOMPARE(fbo.id, 0u);
}

void TestFBO::resizeRespecifiesAttachedTextures()
{
    Texture colour, depth;
    colour.create(8, 8, GL_UNSIGNED_BYTE, GL_RGBA8, false);
    depth.create(8, 8, GL_FLOAT, GL_DEPTH_COMPONENT24, false);
    FBO fbo;
    QVERIFY(fbo.attachColorTexture(colour));
    fbo.attachDepthTexture(depth);
    fbo.resize(30, 20);
    QCOMPARE(colour.width, 30);
    QCOMPARE(depth.height, 20);
    QCOMPARE(colour.format, 0u + GL_RGBA8);
    QCOMPARE(depth.format, 0u + GL_DEPTH_COMPONENT24);
    QCOMPARE(textureLevelWidth(colour, 0), 30);
    QCOMPARE(textureLevelWidth(depth, 0), 30);
    fbo.bind();
    QCOMPARE(GLenum(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT)), GLenum(GL_FRAMEBUFFER_COMPLETE_EXT));
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void TestFBO::destroyTwiceIsHarmlessAndTexturesSurvive()
{
    Texture colour;
    colour.create(8, 8, GL_UNSIGNED_BYTE, GL_RGBA8, false);
    FBO fbo;
    QVERIFY(fbo.attachColorTexture(colour));
    const GLuint name = fbo.id;
    fbo.destroy();
    QVERIFY(!glIsFramebufferEXT(name));
    QCOMPARE(fbo.id, 0u);
    QVERIFY(fbo.textures.isEmpty());
    QVERIFY(fbo.drawBuffers.isEmpty());
    QCOMPARE(fbo.depthRenderbuffer, 9999u);
    fbo.destroy();
    QCOMPARE(GLenum(glGetError()), GLenum(GL_NO_ERROR));
    QVERIFY(glIsTexture(colour.id));
    QCOMPARE(textureLevelWidth(colour, 0), 8);
    // The object can be used again after destroy().
    QVERIFY(fbo.attachColorTexture(colour));
    QVERIFY(glIsFramebufferEXT(fbo.id));
}

void TestFBO::statusTexts_data()
{
    QTest::addColumn<unsigned int>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("attachment") << 0u + GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT
                                << "Framebuffer attachment is not \"framebuffer attachment complete.\"";
    QTest::newRow("missing") << 0u + GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT
                             << "No image attached to the framebuffer.";
    QTest::newRow("dimensions") << 0u + GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT
                                << "Attached images do not have the same width and height.";
    QTest::newRow("formats") << 0u + GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT
                             << "All images attached to the attachment points COLOR_ATTACHMENT0_EXT through "
                                "COLOR_ATTACHMENTn_EXT must have the same internal format.";
    QTest::newRow("draw buffer")
        << 0u + GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT
        << "The value of FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE_EXT must not be NONE for any "
           "color attachment point(s) named by DRAW_BUFFERi.";
    QTest::newRow("read buffer")
        << 0u + GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT
        << "If READ_BUFFER is not NONE, then the value of FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE_EXT must not be "
           "NONE for the color attachment point named by READ_BUFFER.";
    QTest::newRow("unsupported") << 0u + GL_FRAMEBUFFER_UNSUPPORTED_EXT
                                 << "The combination of internal formats of the attached images violates an "
                                    "implementation-dependent set of restrictions.";
    QTest::newRow("layer targets") << 0x8CD8u << "Unrecognized error";
    QTest::newRow("zero") << 0u << "Unrecognized error";
}

void TestFBO::statusTexts()
{
    QFETCH(unsigned int, status);
    QFETCH(QString, text);
    QCOMPARE(FBO::statusText(status), text);
}

void TestFBO::longReportGoesToStandardOutput()
{
    FBO fbo;
    glGenFramebuffersEXT(1, &fbo.id);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo.id);
    StdoutCapture capture;
    const bool complete = fbo.checkStatus();
    const QByteArray printed = capture.finish();
    QVERIFY(!complete);
    QCOMPARE(printed, QByteArray("Error (36055): No image attached to the framebuffer.\n"));

    // A colour texture of no size makes the attachment incomplete.
    Texture empty;
    const int none = 0;
    empty.create(none, none, GL_UNSIGNED_BYTE, GL_RGBA8, false);
    FBO second;
    StdoutCapture captureAttach;
    const bool attached = second.attachColorTexture(empty);
    const QByteArray attachOutput = captureAttach.finish();
    QVERIFY(!attached);
    QVERIFY2(attachOutput.startsWith("Error (") && attachOutput.endsWith("\n"), attachOutput.constData());
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void TestFBO::shortReportGoesToDebugOutput()
{
    Texture colour;
    colour.create(8, 8, GL_UNSIGNED_BYTE, GL_RGBA8, false);
    FBO fbo;
    QVERIFY(fbo.attachColorTexture(colour));
    // Ignored messages that never arrive make the test fail.
    QTest::ignoreMessage(QtDebugMsg, "Debug - FBO is not frambebuffer complete!\n");
    fbo.resize(0, 0);
    QTest::ignoreMessage(QtDebugMsg, "Debug - FBO is not frambebuffer complete!\n");
    Texture emptyDepth;
    const int none = 0;
    emptyDepth.create(none, none, GL_FLOAT, GL_DEPTH_COMPONENT24, false);
    FBO depthOnly;
    depthOnly.attachDepthTexture(emptyDepth);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void TestFBO::preconditionsStopTheProgram_data()
{
    QTest::addColumn<QByteArray>("which");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("second colour") << QByteArray("colour")
                                   << QByteArray("((h==0) && (w==0)) || (textures.size()==0)");
    QTest::newRow("depth format") << QByteArray("depth")
                                  << QByteArray(
                                         "(t.format == GL_DEPTH_COMPONENT) || (t.format == "
                                         "GL_DEPTH_COMPONENT16) || (t.format == GL_DEPTH_COMPONENT24)");
}

void TestFBO::preconditionsStopTheProgram()
{
    QFETCH(QByteArray, which);
    QFETCH(QByteArray, text);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ORVELLE_FBO_VIOLATE", QString::fromLatin1(which));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(30000));
    const QByteArray errors = child.readAllStandardError();
    QVERIFY2(child.exitStatus() == QProcess::CrashExit || child.exitCode() != 0, errors.constData());
    QVERIFY2(child.exitCode() != 2, "the child had no GL");
    QVERIFY2(errors.contains(text), errors.constData());
    QVERIFY2(errors.contains("glUtils/src/fbo"), errors.constData());
}

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QByteArray violate = qgetenv("ORVELLE_FBO_VIOLATE");
    if (!violate.isEmpty())
        return violatePrecondition(violate);
    TestFBO test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fbo.moc"
