// The two menus of the main window as one table: the Win32 window builds MainMenu1 and
// PopupMenu1 from it and the form wires the handlers from it. The captions carry no
// accelerator characters and no separator is ever dropped.
#include "app/fmain.h"
#include "res/resource.h"

const std::vector<TMenuRow>& TFmain::MenuRows() {
    using F = TFmain;
    constexpr auto M = TMenuRow::MainMenu1;
    constexpr auto P = TMenuRow::PopupMenu1;
    // The items without a handler open their submenus.
    static const std::vector<TMenuRow> rows = {
        {M, false, IDM_NMAIN, &F::NMain, u"主菜单", nullptr},
        {M, true, IDM_NOPENMESSAGE, &F::NOpenMessage, u"打开消息", &F::NOpenMessageClick},
        {M, true, IDM_NCLEARMESSAGE, &F::NClearMessage, u"清空消息", &F::NClearMessageClick},
        {M, true, IDM_NSAVEMESSAGE, &F::NSaveMessage, u"保存消息", &F::NSaveMessageClick},
        {M, true, IDM_EXPORTMESSAGETOWAV1, &F::ExportMessageToWav1, u"消息导出为WAV", &F::ExportMessageToWav1Click},
        {M, true, 0, nullptr, nullptr, nullptr},
        {M, true, IDM_NSHOWTIME1, &F::NShowTime1, u"显示时间", &F::NShowTime1Click},
        {M, true, 0, nullptr, nullptr, nullptr},
        {M, true, IDM_NOPENONSTARTUP, &F::NOpenOnStartup, u"启动时运行", &F::NOpenOnStartupClick},
        {M, true, 0, nullptr, nullptr, nullptr},
        {M, true, IDM_NEXIT, &F::Nexit, u"退出", &F::NexitClick},
        {M, false, IDM_NHLELP, &F::NHlelp, u"帮助", nullptr},
        {M, true, IDM_HELP1, &F::Help1, u"帮助", &F::Help1Click},
        {M, true, 0, nullptr, nullptr, nullptr},
        {M, true, IDM_VISITHOMEPAGE1, &F::VisitHomepage1, u"网站", &F::VisitHomepage1Click},
        {M, true, IDM_EMAIL1, &F::Email1, u"邮箱", &F::Email1Click},
        {M, true, 0, nullptr, nullptr, nullptr},
        {M, true, IDM_ABOUT1, &F::About1, u"关于", &F::About1Click},
        {P, false, IDM_OPEN1, &F::Open1, u"查看消息", &F::Open1Click},
        {P, false, IDM_NITEMOPTIONS, &F::NItemOptions, u"选项设置", &F::NItemOptionsClick},
        {P, false, 0, nullptr, nullptr, nullptr},
        {P, false, IDM_STOPSPEAK1, &F::StopSpeak1, u"停止朗读", &F::StopSpeak1Click},
        {P, false, IDM_NOPENONSTARTUP2, &F::NOpenOnStartup2, u"开机时运行", &F::NOpenOnStartup2Click},
        {P, false, 0, nullptr, nullptr, nullptr},
        {P, false, IDM_EXIT1, &F::Exit1, u"退出", &F::Exit1Click},
    };
    return rows;
}
