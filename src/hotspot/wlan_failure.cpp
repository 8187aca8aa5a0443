#include "hotspot/wlan_failure.h"

#include <iterator>

namespace lumora {
namespace {

// By the service's reason number.
constexpr const char* kReasons[] = {
    "成功",                          // success
    "未指明的错误",                  // unspecified
    "参数不正确",                    // bad parameters
    "WLAN 服务正在关闭",             // service shutting down
    "系统资源不足",                  // insufficient resources
    "需要管理员权限",                // elevation required
    "设置为只读",                    // read only
    "设置无法保存",                  // persistence failed
    "加密出错",                      // crypt error
    "身份模拟失败",                  // impersonation
    "启动前已被停止",                // stop before start
    "无线网卡已可用",                // interface available
    "无线网卡不可用",                // interface unavailable
    "无线网卡驱动已停止",            // miniport stopped
    "无线网卡驱动已启动",            // miniport started
    "已有不兼容的无线连接",          // incompatible connection started
    "不兼容的无线连接已断开",        // incompatible connection stopped
    "用户取消了操作",                // user action
    "客户端中止",                    // client abort
    "无线网卡驱动无法启动热点",      // access point start failed
    "有设备连入",                    // peer arrived
    "有设备离开",                    // peer departed
    "设备连接超时",                  // peer timeout
    "组策略禁止使用承载网络",        // group policy denied
    "WLAN 服务不可用，或承载网络已被禁用",  // service unavailable
    "无线网卡发生了变化",            // device change
    "承载网络属性已改变",            // properties change
    "虚拟网卡正被占用",              // virtual station blocking use
    "虚拟网卡上的服务可用",          // service available on virtual station
};

}  // namespace

std::string WlanFailureText(WlanStep step, const WlanFailure& failure) {
  const bool known = failure.reason >= 0 && failure.reason < int(std::size(kReasons));
  std::string text = step == WlanStep::kEnable ? "无法启用承载网络。" : "无法启动承载网络。";
  text += "\r\n原因：";
  text += known ? kReasons[failure.reason] : "未知原因";
  text += "（错误代码 " + std::to_string(failure.error) + "）";
  return text;
}

}  // namespace lumora
