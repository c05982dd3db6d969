target_sources(quorvane_platform PRIVATE
  vcl/Forms.h vcl/Forms.cpp
  vcl/Messages.h vcl/Messages.cpp
  vcl/Dialogs.h vcl/Dialogs.cpp
  vcl/StdCtrls.h vcl/StdCtrls.cpp
  vcl/Graphics.h vcl/ExtCtrls.h
)
