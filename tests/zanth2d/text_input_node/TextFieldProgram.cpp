// A window with one attached text field for the end-to-end test, reporting on stdout one line per event:
// "first-frame", "insert [TEXT]", "delete [TEXT]", "detach" (newlines written as \n), and "text [TEXT] N"
// whenever the field's text or character count changed.
//
//   TextFieldProgram --title TITLE

#include <QGuiApplication>

#include <cstdio>
#include <cstring>
#include <string>

#include "ZTDirector.h"
#include "layers_scenes_transitions_nodes/ZTScene.h"
#include "platform/linux/ZTApplication.h"
#include "platform/linux/ZTEGLView.h"
#include "text_input_node/ZTTextFieldDelegate.h"
#include "text_input_node/ZTTextFieldTTF.h"

using namespace zanth2d;

namespace {

std::string g_title = "Text field program";

std::string escaped(const char* text, int length)
{
    std::string out;
    for (int i = 0; i < length; ++i) {
        out += text[i] == '\n' ? std::string("\\n") : std::string(1, text[i]);
    }
    return out;
}

class PrintingDelegate : public ZTTextFieldDelegate
{
public:
    bool onTextFieldDetachWithIME(ZTTextFieldTTF*) override
    {
        std::printf("detach\n");
        return false;
    }
    bool onTextFieldInsertText(ZTTextFieldTTF*, const char* text, int length) override
    {
        std::printf("insert [%s]\n", escaped(text, length).c_str());
        return false;
    }
    bool onTextFieldDeleteBackward(ZTTextFieldTTF*, const char* text, int length) override
    {
        std::printf("delete [%s]\n", escaped(text, length).c_str());
        return false;
    }
};

// Drawn after the field: reports the first frame and every change of the field's text.
class ReportNode : public ZTNode
{
public:
    explicit ReportNode(ZTTextFieldTTF* field) : m_field(field) {}

    void draw() override
    {
        if (m_frames++ == 0) {
            std::printf("first-frame\n");
        }
        const std::string text = m_field->getString();
        if (text != m_text || m_field->getCharCount() != m_count) {
            m_text = text;
            m_count = m_field->getCharCount();
            std::printf("text [%s] %d\n", m_text.c_str(), m_count);
        }
    }

private:
    ZTTextFieldTTF* m_field;
    std::string m_text;
    int m_count = 0;
    int m_frames = 0;
};

class ProgramApplication : public ZTApplication
{
public:
    bool initInstance() override
    {
        auto* view = new ZTEGLView();
        return view->Create(g_title.c_str(), 320, 120, nullptr);
    }

    bool applicationDidFinishLaunching() override
    {
        ZTDirector* director = ZTDirector::sharedDirector();
        director->setOpenGLView(ZTEGLView::sharedOpenGLView());
        director->setProjection(kZTDirectorProjection2D);
        director->setAnimationInterval(1.0 / 60);

        ZTTextFieldTTF* field = ZTTextFieldTTF::textFieldWithPlaceHolder("Type here", "Arial", 32);
        field->setPosition(ZTPoint(160, 60));
        field->setDelegate(&m_delegate);
        ZTScene* scene = ZTScene::node();
        scene->addChild(field);
        auto* report = new ReportNode(field);
        report->autorelease();
        scene->addChild(report, 1);
        director->runWithScene(scene);
        return field->attachWithIME();
    }

    void applicationDidEnterBackground() override {}
    void applicationWillEnterForeground() override {}

private:
    PrintingDelegate m_delegate;
};

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--title") == 0) {
            g_title = argv[i + 1];
        }
    }
    // Labels render their text with Qt's fonts.
    QGuiApplication qt(argc, argv);
    ProgramApplication app;
    const int status = app.run();
    std::printf("exit %d\n", status);
    return status;
}
