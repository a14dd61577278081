#include "demo_portal.h"

#include <httplib.h>

#include <QBuffer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <map>
#include <thread>

namespace tarvelle::demo {
namespace {

struct Article {
    const char* id;
    bool todaysMarkup;  // single-quoted title with .html(false) and og: meta tags
    const char* title;
    const char* author;
    const char* video;  // "tencent", "wechat" or ""
    const char* videoId;
    std::vector<const char*> paragraphs;
};

const std::vector<Article>& articles() {
    static const std::vector<Article> list = {
        {"spring-tea",
         false,
         "山坡上的春茶：一个采茶人的清晨",
         "青岚笔记",
         "tencent",
         "k0031tarv7a",
         {"天还没亮，村口的石板路已经被露水打湿。采茶人背着竹篓上山，要赶在太阳升高之前摘下第一批嫩"
          "芽。",
          "她说，一芽一叶最好，指尖轻轻一掐就断，不能用指甲，否则茶叶边缘会发红。",
          "九点以后，山坡上的人渐渐多了起来，收茶的小车停在路边，称重、记账，一切都安安静静。"}},
        {"river-notes",
         true,
         "沿河而行的七个小站",
         "慢车旅行社",
         "wechat",
         "wxv_2718281828459045235",
         {"这条老铁路只剩下一趟慢车，每站停两分钟，足够下车买一袋热腾腾的烤红薯。",
          "第三站的站长在月台上种了一排向日葵，他说火车晚点的时候，乘客至少有花可看。",
          "终点站没有出站口，铁轨一直铺到河边，下车的人自己找路回到镇上。"}},
        {"quiet-morning",
         true,
         "把早晨还给自己：三件小事",
         "日常研究所",
         "",
         "",
         {"第一件事：醒来后先不看手机，给窗台上的植物浇水。",
          "第二件事：用十分钟写下今天最想完成的一件事，只写一件。",
          "第三件事：出门前把桌面收拾干净，晚上回来的自己会感谢你。"}},
        {"lantern-street",
         false,
         "灯笼街的最后一位扎灯师傅",
         "城南旧事",
         "",
         "",
         {"灯笼街曾有二十多家作坊，如今只剩下一家，门口挂着褪了色的招牌。",
          "师傅用竹篾扎骨架，一盏宫灯要三天，他说手慢一点，灯才站得稳。"}},
    };
    return list;
}

const Article* findArticle(const std::string& id) {
    for (const auto& a : articles()) {
        if (id == a.id) return &a;
    }
    return nullptr;
}

std::string escapeHtml(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

const char* kStyle =
    "<style>body{font-family:sans-serif;margin:0;padding:10px 12px;color:#222;background:#fafafa;"
    "line-height:1.6}h1{font-size:18px;margin:4px 0 10px}h2{font-size:15px;margin:14px 0 6px}"
    "a{color:#1a5fa8;text-decoration:none}li{margin:6px 0}.note{color:#777;font-size:12px}"
    ".card{background:#fff;border:1px solid #e2e2e2;border-radius:4px;padding:8px 10px;"
    "margin:8px 0}.nav a{margin-right:10px}img{max-width:100%}</style>";

std::string page(const std::string& title, const std::string& body) {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + title + "</title>" +
           kStyle + "</head><body>\n" + body + "\n</body></html>\n";
}

std::string nav() {
    return "<p class=\"nav\"><a href=\"/plus/view.php?aid=1629\">首页</a>"
           "<a "
           "href=\"/plus/view.php?aid=565&zhushou=1&list=1&id_guanli=&id_yuangong=\">今日最新</a>"
           "<a "
           "href=\"/plus/view.php?aid=565&zhushou=1&list=2&id_guanli=&id_yuangong=\">24小时最火</a>"
           "</p>";
}

// Portal article pages stand for one WeChat article each.
const std::map<int, std::string>& portalArticles() {
    static const std::map<int, std::string> map = {{3001, "spring-tea"},
                                                   {3002, "river-notes"},
                                                   {3003, "quiet-morning"},
                                                   {3004, "lantern-street"}};
    return map;
}

std::string articleList(const std::string& articleBase, int offset) {
    std::string html = "<ul>";
    const auto& map = portalArticles();
    int i = 0;
    for (int k = 0; k < static_cast<int>(map.size()); ++k) {
        auto it = std::next(map.begin(), (k + offset) % static_cast<int>(map.size()));
        const Article* a = findArticle(it->second);
        html += "<li><a href=\"/plus/view.php?aid=" + std::to_string(it->first) + "\">" + a->title +
                "</a> <span class=\"note\">" + a->author + "</span>";
        if (i++ % 2 == 0) {
            html +=
                " · <a class=\"note\" href=\"" + articleBase + "/s/" + a->id + "\">公众号原文</a>";
        }
        html += "</li>";
    }
    return html + "</ul>";
}

std::string portalPage(const httplib::Request& req, const std::string& articleBase,
                       const std::string& versionTitle, int& status) {
    const int aid = req.has_param("aid") ? std::atoi(req.get_param_value("aid").c_str()) : 0;
    switch (aid) {
        case 1629:
            return page("Morisk 内容港 · 首页",
                        "<h1>Morisk 内容港</h1>" + nav() +
                            "<div class=\"card\">每天为公众号编辑挑选值得一读的文章。打开一篇文章，"
                            "按下“发到公众平台”即可取用标题、封面和视频。</div>"
                            "<h2>编辑推荐</h2>" +
                            articleList(articleBase, 0) +
                            "<p class=\"note\">本页为演示门户，内容均为示例。</p>");
        case 565: {
            static const char* names[] = {"今日最新", "24小时最火", "7天热门", "本月最赞"};
            int list = req.has_param("list") ? std::atoi(req.get_param_value("list").c_str()) : 0;
            std::string name = list >= 1 && list <= 4 ? names[list - 1] : "未知列表";
            return page("Morisk 内容港 · " + name,
                        "<h1>" + name + "</h1>" + nav() + "<div class=\"card\">列表 " +
                            std::to_string(list) + "<br>zhushou = <code id=\"zhushou\">" +
                            escapeHtml(req.get_param_value("zhushou")) +
                            "</code><br>id_guanli = <code id=\"id_guanli\">" +
                            escapeHtml(req.get_param_value("id_guanli")) +
                            "</code><br>id_yuangong = <code id=\"id_yuangong\">" +
                            escapeHtml(req.get_param_value("id_yuangong")) + "</code></div>" +
                            articleList(articleBase, list));
        }
        case 1592:
            return page("视频教程",
                        "<h1>视频教程</h1><ol><li>在右侧窗口中打开一篇文章。</li>"
                        "<li>按“发到公众平台”，稍等片刻。</li><li>在右下角的小窗口里逐一复制标题、"
                        "封面图和视频，粘贴到公众号编辑器。</li><li>按“复制正文”，在阅读窗口中"
                        "选中正文复制。</li><li>按“返回”回到主窗口。</li></ol>");
        case 1593:
            return page("联系/关注/更新",
                        "<h1>联系我们</h1><p>意见和问题请写信到 demo@morisk.example。</p>"
                        "<p>新版本发布时，工具启动时会提示。</p>");
        case 1594:
            return page("微信公众号互推",
                        "<h1>微信公众号互推</h1><div class=\"card\">青岚笔记 —— 山野与四季</div>"
                        "<div class=\"card\">慢车旅行社 —— 坐慢车，看小站</div>"
                        "<div class=\"card\">日常研究所 —— 把日子过细一点</div>");
        case 1602:
            return versionTitle.empty() ? std::string("<html><body>版本页面暂无标题</body></html>")
                                        : page(escapeHtml(versionTitle),
                                               "<h1>" + escapeHtml(versionTitle) + "</h1>");
        default:
            break;
    }
    if (auto it = portalArticles().find(aid); it != portalArticles().end()) {
        const Article* a = findArticle(it->second);
        const std::string url = articleBase + "/s/" + a->id;
        std::string body = "<h1>" + std::string(a->title) + "</h1>" + nav() +
                           "<p class=\"note\">来源：" + a->author + "</p><p>" + a->paragraphs[0] +
                           "</p><p><a href=\"" + url +
                           "\">阅读公众号原文</a></p>"
                           "<div style=\"display:none\">#6#6#6#6" +
                           url + "#<</div>";
        return page(std::string(a->title) + " · Morisk 内容港", body);
    }
    status = 404;
    return page("没有这个页面", "<h1>没有这个页面</h1>" + nav());
}

std::string videoFrame(const Article& a) {
    if (std::string(a.video) == "tencent") {
        return std::string(
                   "<iframe class=\"video_iframe\" frameborder=\"0\" allowfullscreen "
                   "data-src=\"https://v.qq.com/iframe/preview.html?vid=") +
               a.videoId + "&width=500&height=375&auto=0\"></iframe>";
    }
    if (std::string(a.video) == "wechat") {
        return std::string(
                   "<iframe class=\"video_iframe rich_pages\" frameborder=\"0\" "
                   "data-mpvid=\"") +
               a.videoId +
               "\" data-src=\"https://mp.weixin.qq.com/mp/readtemplate?t=pages/video_player_tmpl"
               "&amp;action=mpvideo&amp;auto=0&amp;vid=" +
               a.videoId + "\" allowfullscreen></iframe>";
    }
    return {};
}

std::string articlePage(const Article& a, const std::string& articleBase) {
    const std::string cover = articleBase + "/img/" + a.id + ".jpg";
    std::string head = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<title>" +
                       std::string(a.title) + "</title>\n";
    if (a.todaysMarkup) {
        // As pages are built today: the attribute on the next line, the address
        // written as an attribute value.
        head += "<meta property=\"og:title\"\n    content=\"" + std::string(a.title) + "\" />\n";
        head += "<meta property=\"og:image\"\n    content=\"" + cover +
                "?wx_fmt=jpeg&amp;from=appmsg\" />\n";
    }
    head += std::string(kStyle) + "\n</head>\n";
    std::string body = "<body>\n<h1 class=\"rich_media_title\">" + std::string(a.title) +
                       "</h1>\n<p class=\"note\">" + a.author + "</p>\n<div id=\"js_content\">\n";
    for (const char* p : a.paragraphs) body += std::string("<p>") + p + "</p>\n";
    body += videoFrame(a);
    body += "\n</div>\n<script>\n";
    if (a.todaysMarkup) {
        body += "var msg_title = '" + std::string(a.title) + "'.html(false);\n";
    } else {
        body += "var msg_title = \"" + std::string(a.title) + "\";\n";
    }
    // Today's pages here name their cover only in the og:image tag.
    if (!a.todaysMarkup) body += "var msg_cdn_url = \"" + cover + "\";\n";
    body += "var msg_link = \"" + articleBase + "/s/" + a.id + "\";\n</script>\n</body></html>\n";
    return head + body;
}

}  // namespace

std::string CoverJpeg(const std::string& name) {
    static const std::map<std::string, std::pair<QColor, QColor>> colours = {
        {"spring-tea", {QColor(0x4f, 0x8a, 0x55), QColor(0xc9, 0xe4, 0xb4)}},
        {"river-notes", {QColor(0x2d, 0x5d, 0x8a), QColor(0xa8, 0xd0, 0xe6)}},
        {"quiet-morning", {QColor(0xe0, 0x9f, 0x3e), QColor(0xfa, 0xe3, 0xb0)}},
        {"lantern-street", {QColor(0xa8, 0x32, 0x32), QColor(0xf2, 0xc1, 0x7d)}},
    };
    auto it = colours.find(name);
    if (it == colours.end()) return {};
    QImage image(360, 200, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 360, 200);
    gradient.setColorAt(0, it->second.first);
    gradient.setColorAt(1, it->second.second);
    painter.fillRect(image.rect(), gradient);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 90));
    painter.drawEllipse(QPoint(270, 70), 46, 46);
    painter.drawRect(0, 150, 360, 50);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 85);
    return bytes.toStdString();
}

struct DemoPortal::Servers {
    httplib::Server portal;
    httplib::Server articles;
    std::thread portalThread;
    std::thread articleThread;
    std::map<std::string, std::string> covers;
};

DemoPortal::DemoPortal()
    : m_servers(std::make_unique<Servers>()), m_versionTitle("Tarvelle v1.3 正式版") {
    for (const auto& a : articles()) m_servers->covers[a.id] = CoverJpeg(a.id);
}

DemoPortal::~DemoPortal() { stop(); }

std::string DemoPortal::portalHost() const { return "127.0.0.1:" + std::to_string(m_portalPort); }
std::string DemoPortal::articleHost() const { return "127.0.0.1:" + std::to_string(m_articlePort); }

std::string DemoPortal::configIni() const {
    return "[hosts]\nportal = " + portalHost() + "\nwechat = " + articleHost() + "\n";
}

void DemoPortal::setVersionTitle(std::string title) {
    std::lock_guard lock(m_mutex);
    m_versionTitle = std::move(title);
}

std::vector<std::string> DemoPortal::portalRequests() const {
    std::lock_guard lock(m_mutex);
    return m_portalRequests;
}

bool DemoPortal::start(int portalPort, int articlePort) {
    auto& s = *m_servers;
    const std::string articleBase = "http://127.0.0.1:";
    s.portal.Get("/plus/view.php", [this](const httplib::Request& req, httplib::Response& res) {
        std::string versionTitle;
        {
            std::lock_guard lock(m_mutex);
            m_portalRequests.push_back(req.target);
            versionTitle = m_versionTitle;
        }
        int status = 200;
        res.set_content(portalPage(req, "http://" + articleHost(), versionTitle, status),
                        "text/html; charset=utf-8");
        // A session of sorts, so that the browser and the tool's own reads share something.
        res.set_header("Set-Cookie", "morisk_last_aid=" + req.get_param_value("aid") + "; Path=/");
        res.status = status;
    });
    s.portal.Get("/", [](const httplib::Request&, httplib::Response& res) {
        res.set_redirect("/plus/view.php?aid=1629");
    });
    s.articles.Get(R"(/s/([a-z\-]+))", [this](const httplib::Request& req, httplib::Response& res) {
        if (const Article* a = findArticle(req.matches[1])) {
            res.set_content(articlePage(*a, "http://" + articleHost()), "text/html; charset=utf-8");
        } else {
            res.status = 404;
            res.set_content(page("该内容已被发布者删除", "<p>该内容已被发布者删除</p>"),
                            "text/html; charset=utf-8");
        }
    });
    s.articles.Get(R"(/img/([a-z\-]+)\.jpg)",
                   [this](const httplib::Request& req, httplib::Response& res) {
                       auto it = m_servers->covers.find(req.matches[1]);
                       if (it == m_servers->covers.end()) {
                           res.status = 404;
                           return;
                       }
                       res.set_content(it->second, "image/jpeg");
                   });

    m_portalPort = portalPort ? (s.portal.bind_to_port("127.0.0.1", portalPort) ? portalPort : -1)
                              : s.portal.bind_to_any_port("127.0.0.1");
    m_articlePort = articlePort
                        ? (s.articles.bind_to_port("127.0.0.1", articlePort) ? articlePort : -1)
                        : s.articles.bind_to_any_port("127.0.0.1");
    if (m_portalPort <= 0 || m_articlePort <= 0) return false;
    s.portalThread = std::thread([&s] { s.portal.listen_after_bind(); });
    s.articleThread = std::thread([&s] { s.articles.listen_after_bind(); });
    return true;
}

void DemoPortal::stop() {
    auto& s = *m_servers;
    s.portal.stop();
    s.articles.stop();
    if (s.portalThread.joinable()) s.portalThread.join();
    if (s.articleThread.joinable()) s.articleThread.join();
}

}  // namespace tarvelle::demo
