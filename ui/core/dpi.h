// CDPI: the per-manager DPI scale through which every skin length passes. Lengths are written for
// 96 DPI; Scale turns them into device pixels at the current percentage.
#pragma once

#include <windows.h>

namespace ZQUI {

// Mirrors the system's PROCESS_DPI_AWARENESS values.
enum DpiAwareness : int {
  kDpiUnaware = 0,
  kDpiSystemAware = 1,
  kDpiPerMonitorAware = 2,
};

class CDPI {
 public:
  CDPI();

  static int GetDPIOfMonitor(HMONITOR monitor);
  static int GetDPIOfMonitorNearestToPoint(POINT pt);
  static int GetMainMonitorDPI();

  int GetDPIAwareness();
  bool SetDPIAwareness(int awareness);
  UINT GetDPI() const;
  UINT GetScale() const;
  void SetScale(UINT dpi);

  int Scale(int value) const;
  int ScaleBack(int value) const;
  RECT Scale(RECT rc) const;
  void Scale(RECT* rc) const;
  void ScaleBack(RECT* rc) const;
  void Scale(SIZE* size) const;
  SIZE Scale(SIZE size) const;

 private:
  // The scale that applies: none when unaware, the first one when system aware, else the current.
  int EffectiveScale() const;

  int m_nScaleFactor;
  int m_nScaleFactorSDA;
  int m_awareness;
};

}  // namespace ZQUI
