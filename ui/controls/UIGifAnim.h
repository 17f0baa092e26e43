// An animated GIF, decoded through GDI+. Frame timer:
//
//   state    | event                         | result
//   ---------+-------------------------------+------------------------------------------
//   any      | init / first paint            | load frames + delays; autosize; autoplay
//   stopped  | PlayGif (loaded)              | show current frame, timer 100 for its delay
//   playing  | timer 100                     | next frame (looping), timer for its delay
//   playing  | hidden                        | timer killed, frame 0, repaint
//   stopped  | shown again                   | PlayGif
//   any      | new bkimage                   | stop, unload, repaint
//
// Delays are in units of 10 ms; a delay of 0 shows the frame for 100 ms.
#pragma once

#include <memory>
#include <vector>

#include "ui/controls/UIControl.h"

namespace DuiLib {

class CGifAnimUI : public CControlUI {
 public:
  static constexpr UINT kFrameTimerId = 100;

  CGifAnimUI();
  ~CGifAnimUI() override;
  const wchar_t* GetClass() const override;
  void ApplyAttribute(const std::wstring& name, const std::wstring& value) override;

  void DoInit() override;
  void DoEvent(ControlEvent& event) override;
  void DoPaint(HDC dc, const RECT& paint) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;

  void PlayGif();
  void PauseGif();
  void StopGif();
  bool IsLoaded() const { return !frames_.empty(); }
  bool IsPlaying() const { return playing_; }
  UINT GetFrameCount() const { return static_cast<UINT>(frames_.size()); }
  UINT GetCurrentFrame() const { return frame_; }
  void SetGifImage(const std::wstring& name);

 private:
  struct Frame;
  void Load();
  void Unload();
  void ScheduleNextFrame();
  void OnVisibilityChanged();

  std::wstring gifName_;
  std::vector<std::unique_ptr<Frame>> frames_;
  UINT frame_ = 0;
  bool playing_ = false;
  bool loadTried_ = false;
  bool initialised_ = false;  // DoInit has run: the control sits in its window
  bool autoPlay_ = false;
  bool autoSize_ = false;
};

}  // namespace DuiLib
