// The image document under Wine: new documents from a pending image and from a capture, open,
// edit, undo, redo, save and reload of real files, the title's " *" marker, the save types,
// failed saves, the stored JPEG options, Send Mail's attachment, the 24-bit question and the
// enabling of the document menu's commands.
#include <gtest/gtest.h>

#include "DocumentTestSupport.h"

BEGIN_MESSAGE_MAP(CDocTestFrame, CMDIFrameWnd)
  ON_WM_CREATE()
  ON_MESSAGE(UWM_UPDATETABBAR, OnUpdateTabBar)
END_MESSAGE_MAP()

namespace {

class ImageDocumentTest : public DocumentFrameTest<CDocTestFrame> {
 protected:
  CQuorvaCaptureDoc* Open(const std::string& path) {
    auto* doc = dynamic_cast<CQuorvaCaptureDoc*>(app.OpenDocumentFile(path.c_str()));
    PumpMessages();
    return doc;
  }
  int Enabled(UINT id) {
    CommandState state;
    state.m_nID = id;
    state.DoUpdate(frame, TRUE);
    return state.enabled;
  }
  std::string SaveAs(CQuorvaCaptureDoc* doc, const std::string& path) {
    manager->answer = path;
    doc->DoSave(nullptr);
    manager->answer.clear();
    return ReadFileBytes(path);
  }
};

TEST_F(ImageDocumentTest, NewDocumentFromPendingImageIsUnsavedAndMarked) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(5, 4));
  ASSERT_NE(doc, nullptr);
  ASSERT_NE(doc->image, nullptr);
  EXPECT_EQ(doc->image->GetWidth(), 5);
  EXPECT_EQ(RGBOf(*doc->image, 3, 2), 0x1E2807u);
  EXPECT_TRUE(doc->IsModified());
  EXPECT_FALSE(doc->newCapture);
  EXPECT_EQ(doc->GetTitle(), "Luma1 *");
  EXPECT_EQ(doc->baseTitle, "Luma1");
  EXPECT_EQ(app.pending, nullptr);  // taken over
  EXPECT_EQ(Enabled(ID_FILE_SAVE), 1);
  EXPECT_EQ(Enabled(ID_FILE_RELOAD), 0);  // no path yet
  EXPECT_EQ(Enabled(ID_EDIT_UNDO), 0);
  EXPECT_EQ(Enabled(ID_EDIT_REDO), 0);
  EXPECT_EQ(Enabled(ID_EDIT_COPYALL), 1);
  EXPECT_EQ(Enabled(ID_EDIT_CUT), 0);  // no selection
  EXPECT_GE(frame->tabBarPosts, 1);

  // The image window's class and title.
  CMDIChildWnd* child = frame->MDIGetActive();
  ASSERT_NE(child, nullptr);
  char cls[64] = {};
  ::GetClassNameA(child->m_hWnd, cls, sizeof cls);
  EXPECT_STREQ(cls, "LumatreImageFrameClass");
  PumpMessages();
  app.OnIdle(0);
  EXPECT_EQ(child->GetWindowText(), "Luma1 *");

  CQuorvaCaptureDoc* second = NewFromPending(MakePattern(2, 2));
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->baseTitle, "Luma2");
}

TEST_F(ImageDocumentTest, NewDocumentFromCaptureTakesTheCapturedBitmap) {
  WindowDC screen(nullptr);
  UniqueBitmap captured(::CreateCompatibleBitmap(screen.get(), 6, 3));
  {
    UniqueDC memory(::CreateCompatibleDC(screen.get()));
    SelectObjectGuard select(memory.get(), captured.get());
    RECT all{0, 0, 6, 3};
    UniqueBrush brush(::CreateSolidBrush(RGB(200, 100, 50)));
    ::FillRect(memory.get(), &all, brush.get());
  }
  frame->captured = captured.get();
  app.pending = MakePattern(2, 2);  // not used while a capture waits
  app.OnFileNew();
  PumpMessages();
  frame->captured = nullptr;
  auto docs = manager->GetDocuments();
  ASSERT_EQ(docs.size(), 1u);
  auto* doc = dynamic_cast<CQuorvaCaptureDoc*>(docs[0]);
  ASSERT_NE(doc->image, nullptr);
  // The view's first update has taken the new-capture mark over to run the capture outputs.
  EXPECT_FALSE(doc->newCapture);
  EXPECT_EQ(doc->image->GetWidth(), 6);
  EXPECT_EQ(doc->image->GetHeight(), 3);
  EXPECT_EQ(RGBOf(*doc->image, 5, 2), 0xC86432u);
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(doc->GetTitle(), "Luma1 *");
}

TEST_F(ImageDocumentTest, NewDocumentWithoutAPictureIsReportedAndDiscarded) {
  app.pending.reset();
  app.OnFileNew();
  PumpMessages();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Handle error in Document class!");
  EXPECT_EQ(app.GetOpenDocumentCount(), 0);
  EXPECT_EQ(frame->MDIGetActive(), nullptr);
  EXPECT_GE(frame->tabBarPosts, 1);
}

TEST_F(ImageDocumentTest, OpenEditUndoRedoSaveAndReload) {
  const std::string path = folder.File("picture.bmp");
  PLSaveImageFile(path, *MakePattern(4, 3));
  ::SetCurrentDirectoryA("C:\\");

  CQuorvaCaptureDoc* doc = Open(path);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->GetTitle(), "picture.bmp");
  EXPECT_FALSE(doc->IsModified());
  EXPECT_EQ(Enabled(ID_FILE_SAVE), 0);
  EXPECT_EQ(Enabled(ID_FILE_RELOAD), 1);
  char cwd[MAX_PATH];
  ::GetCurrentDirectoryA(MAX_PATH, cwd);
  EXPECT_EQ(::lstrcmpiA(cwd, folder.path().c_str()), 0);  // the file's folder is the current one
  EXPECT_FALSE(frame->statusBar.HasProgressBar());         // the decoder reached 100 %

  // Opening the same file again brings the open document forward.
  EXPECT_EQ(Open(path), doc);
  EXPECT_EQ(app.GetOpenDocumentCount(), 1);

  // Edit: flip left to right.
  Command(ID_IMAGE_FLIP_HORIZONTAL);
  EXPECT_EQ(RGBOf(*doc->image, 0, 0), RGBOf(*MakePattern(4, 3), 3, 0));
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(doc->GetTitle(), "picture.bmp *");
  EXPECT_EQ(frame->statusBar.GetPaneText(0), "Last command : Flips the image left to right");
  EXPECT_EQ(Enabled(ID_EDIT_UNDO), 1);
  EXPECT_EQ(Enabled(ID_FILE_SAVE), 1);

  // Undo: the picture and the clean state come back.
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(RGBOf(*doc->image, 0, 0), RGBOf(*MakePattern(4, 3), 0, 0));
  EXPECT_FALSE(doc->IsModified());
  EXPECT_EQ(doc->GetTitle(), "picture.bmp");
  EXPECT_EQ(Enabled(ID_EDIT_REDO), 1);
  EXPECT_EQ(frame->statusBar.GetPaneText(0), "Last command : Undo last action");

  // Redo.
  Command(ID_EDIT_REDO);
  EXPECT_EQ(RGBOf(*doc->image, 0, 0), RGBOf(*MakePattern(4, 3), 3, 0));
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(doc->GetTitle(), "picture.bmp *");

  // Save under its own name: no prompt, the file holds the flipped picture.
  Command(ID_FILE_SAVE);
  EXPECT_EQ(manager->prompts, 0);
  EXPECT_FALSE(doc->IsModified());
  EXPECT_EQ(doc->GetTitle(), "picture.bmp");
  CDisplayBitmap onDisk;
  app.decoder.MakeBmpFromFile(path.c_str(), onDisk);
  EXPECT_EQ(RGBOf(onDisk, 0, 0), RGBOf(*MakePattern(4, 3), 3, 0));

  // Edit again, then reload: asked first (No keeps the changes, Yes reloads and clears the
  // history).
  Command(ID_IMAGE_INVERT);
  uint32_t inverted = RGBOf(*doc->image, 1, 1);
  boxes.clear();
  boxes.set_answer(IDNO);
  Command(ID_FILE_RELOAD);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "The current image was modified. Do you discard these changes?");
  EXPECT_EQ(boxes.boxes()[0].type & MB_DEFMASK, static_cast<UINT>(MB_DEFBUTTON2));
  EXPECT_EQ(boxes.boxes()[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONQUESTION));
  EXPECT_EQ(RGBOf(*doc->image, 1, 1), inverted);
  boxes.set_answer(IDYES);
  Command(ID_FILE_RELOAD);
  EXPECT_EQ(RGBOf(*doc->image, 0, 0), RGBOf(*MakePattern(4, 3), 3, 0));
  EXPECT_FALSE(doc->IsModified());
  EXPECT_FALSE(doc->CanUndo());
  EXPECT_FALSE(doc->CanRedo());
  EXPECT_EQ(doc->GetTitle(), "picture.bmp");

  // Reload of an unmodified document asks nothing.
  boxes.clear();
  Command(ID_FILE_RELOAD);
  EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(ImageDocumentTest, MarkerReturnsAfterSaveWhenTheHistoryHasNetChanges) {
  const std::string path = folder.File("twice.png");
  PLSaveImageFile(path, *MakePattern(4, 4));
  CQuorvaCaptureDoc* doc = Open(path);
  ASSERT_NE(doc, nullptr);
  Command(ID_IMAGE_FLIP_VERTICAL);
  Command(ID_IMAGE_FLIP_VERTICAL);
  Command(ID_FILE_SAVE);
  EXPECT_EQ(doc->GetTitle(), "twice.png");  // a fresh title after the save
  EXPECT_EQ(doc->GetChangeCount(), 2);
  Command(ID_EDIT_UNDO);  // back to the saved picture, but one net change since the open
  EXPECT_EQ(doc->GetChangeCount(), 1);
  EXPECT_EQ(doc->GetTitle(), "twice.png *");
}

TEST_F(ImageDocumentTest, SaveTypeFollowsTheTextAfterTheLastDot) {
  EXPECT_EQ(CQuorvaCaptureDoc::SaveTypeOfPath("C:\\a\\b.JPG"), "jpg");
  EXPECT_EQ(CQuorvaCaptureDoc::SaveTypeOfPath("b.Tif"), "tif");
  EXPECT_EQ(CQuorvaCaptureDoc::SaveTypeOfPath(".jpg"), "");
  EXPECT_EQ(CQuorvaCaptureDoc::SaveTypeOfPath("name."), "");
  EXPECT_EQ(CQuorvaCaptureDoc::SaveTypeOfPath("noext"), "");

  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(8, 8));
  ASSERT_NE(doc, nullptr);
  std::string jpeg = SaveAs(doc, folder.File("upper.JPG"));
  ASSERT_GE(jpeg.size(), 3u);
  EXPECT_EQ(jpeg.substr(0, 3), std::string("\xFF\xD8\xFF", 3));
  EXPECT_FALSE(doc->IsModified());
  EXPECT_EQ(doc->GetTitle(), "upper.JPG");
  EXPECT_EQ(::lstrcmpiA(doc->GetPathName().c_str(), folder.File("upper.JPG").c_str()), 0);

  std::string gif = SaveAs(doc, folder.File("x.gif"));
  EXPECT_EQ(gif.substr(0, 3), "GIF");
  std::string tif = SaveAs(doc, folder.File("x.tif"));
  EXPECT_EQ(tif.substr(0, 2), "II");
  std::string bmp = SaveAs(doc, folder.File("x.bmp"));
  EXPECT_EQ(bmp.substr(0, 2), "BM");
}

TEST_F(ImageDocumentTest, FailedSaveReportsKeepsTheDocumentModifiedAndTheFileUntouched) {
  const std::string path = folder.File("keep.bmp");
  PLSaveImageFile(path, *MakePattern(3, 3));
  const std::string before = ReadFileBytes(path);
  CQuorvaCaptureDoc* doc = Open(path);
  ASSERT_NE(doc, nullptr);
  Command(ID_IMAGE_INVERT);
  ASSERT_TRUE(doc->IsModified());

  // A read-only file: Save asks for a name; the same name cannot be written.
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  boxes.clear();
  manager->answer = path;
  Command(ID_FILE_SAVE);
  EXPECT_EQ(manager->prompts, 1);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text.rfind("Error saving the file: ", 0), 0u) << boxes.boxes()[0].text;
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(doc->GetTitle(), "keep.bmp *");
  EXPECT_EQ(ReadFileBytes(path), before);
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

  // A folder that does not exist: nothing written, the old name kept.
  boxes.clear();
  manager->answer = folder.File("missing\\new.png");
  EXPECT_FALSE(doc->DoSave(nullptr));
  EXPECT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(::lstrcmpiA(doc->GetPathName().c_str(), path.c_str()), 0);
  EXPECT_TRUE(doc->IsModified());

  // A type that cannot be written.
  boxes.clear();
  manager->answer = folder.File("other.xyz");
  EXPECT_FALSE(doc->DoSave(nullptr));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_NE(boxes.boxes()[0].text.find("xyz"), std::string::npos);
  EXPECT_EQ(::GetFileAttributesA(folder.File("other.xyz").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(doc->IsModified());

  // Cancelling the name prompt saves nothing.
  manager->answer.clear();
  EXPECT_FALSE(doc->DoSave(nullptr));
  EXPECT_TRUE(doc->IsModified());
}

TEST_F(ImageDocumentTest, PaletteImageIsWrittenFromA32BitCopyAndKeepsItsDepth) {
  auto palette = std::make_unique<CDisplayBitmap>();
  palette->Create(4, 4, 8, false);  // grey ramp
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) palette->SetPixelIndex(x, y, static_cast<uint8_t>(16 * (4 * y + x)));
  CQuorvaCaptureDoc* doc = NewFromPending(std::move(palette));
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->image->GetBitsPerPixel(), 8);
  SaveAs(doc, folder.File("grey.png"));
  EXPECT_EQ(doc->image->GetBitsPerPixel(), 8);
  CDisplayBitmap back;
  app.decoder.MakeBmpFromFile(folder.File("grey.png").c_str(), back, 32);
  EXPECT_EQ(RGBOf(back, 3, 3), 0xF0F0F0u);
  SaveAs(doc, folder.File("grey.bmp"));
  CDisplayBitmap bmp;
  app.decoder.MakeBmpFromFile(folder.File("grey.bmp").c_str(), bmp);
  EXPECT_EQ(bmp.GetBitsPerPixel(), 8);  // BMP keeps the document's depth
}

TEST_F(ImageDocumentTest, CaptureSaveUsesTheStoredJpegOptionsOnce) {
  app.m_capture.jpeg.quality = 5;     // stored
  app.m_currentJpeg.quality = 100;    // current
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(64, 64));
  ASSERT_NE(doc, nullptr);
  manager->answer = folder.File("stored.jpg");
  EXPECT_TRUE(doc->SaveWithStoredOptions());
  EXPECT_FALSE(doc->useStoredJpegOptions);
  std::string stored = ReadFileBytes(folder.File("stored.jpg"));
  std::string current = SaveAs(doc, folder.File("current.jpg"));
  ASSERT_FALSE(stored.empty());
  ASSERT_FALSE(current.empty());
  EXPECT_LT(stored.size(), current.size());
}

TEST_F(ImageDocumentTest, ReloadOfAFileThatNoLongerDecodesLeavesNoImageAndNoHistory) {
  const std::string path = folder.File("broken.bmp");
  PLSaveImageFile(path, *MakePattern(4, 4));
  CQuorvaCaptureDoc* doc = Open(path);
  ASSERT_NE(doc, nullptr);
  Command(ID_IMAGE_INVERT);
  Command(ID_FILE_SAVE);
  ASSERT_TRUE(doc->CanUndo());
  WriteFileBytes(path, "this is not a picture at all");
  boxes.clear();
  Command(ID_FILE_RELOAD);
  ASSERT_EQ(boxes.boxes().size(), 1u);  // only the library's message: the document was not modified
  EXPECT_NE(boxes.boxes()[0].text.find("Decoder error"), std::string::npos) << boxes.boxes()[0].text;
  EXPECT_EQ(doc->image, nullptr);
  EXPECT_FALSE(doc->CanUndo());
  EXPECT_EQ(app.GetOpenDocumentCount(), 1);  // the window stays
  EXPECT_FALSE(frame->statusBar.HasProgressBar());
  // Nothing to act on, nothing happens.
  Command(ID_IMAGE_INVERT);
  Command(ID_EDIT_COPYALL);
  EXPECT_EQ(doc->image, nullptr);
}

TEST_F(ImageDocumentTest, OpeningAnUndecodableFileDiscardsTheDocument) {
  const std::string path = folder.File("junk.png");
  WriteFileBytes(path, "junk");
  EXPECT_EQ(Open(path), nullptr);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(app.GetOpenDocumentCount(), 0);
  EXPECT_EQ(frame->MDIGetActive(), nullptr);
}

TEST_F(ImageDocumentTest, SendMailAttachesTheSavedFileOrATemporaryCopy) {
  const std::string path = folder.File("mail.bmp");
  PLSaveImageFile(path, *MakePattern(4, 4));
  CQuorvaCaptureDoc* doc = Open(path);
  ASSERT_NE(doc, nullptr);
  Command(ID_FILE_SEND_MAIL);
  ASSERT_EQ(app.mails.size(), 1u);
  EXPECT_EQ(::lstrcmpiA(app.mails[0].path.c_str(), path.c_str()), 0);
  EXPECT_EQ(app.mails[0].displayName, "mail.bmp");
  EXPECT_EQ(app.mails[0].flags, 8u);
  EXPECT_NE(::GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);  // the file itself stays

  Command(ID_IMAGE_INVERT);
  app.m_capture.sendMailImageType = kImagePng;
  Command(ID_FILE_SEND_MAIL);
  ASSERT_EQ(app.mails.size(), 2u);
  EXPECT_EQ(app.mails[1].displayName, "Lumatre.png");
  EXPECT_TRUE(app.mails[1].fileExisted);
  EXPECT_EQ(app.mails[1].bytes.substr(1, 3), "PNG");
  std::string tempName = app.mails[1].path.substr(app.mails[1].path.find_last_of('\\') + 1);
  EXPECT_EQ(tempName.substr(0, 3), "TSY");
  EXPECT_EQ(::GetFileAttributesA(app.mails[1].path.c_str()), INVALID_FILE_ATTRIBUTES);  // deleted after sending

  app.m_capture.sendMailImageType = kImageBitmap;
  Command(ID_FILE_SEND_MAIL);
  ASSERT_EQ(app.mails.size(), 3u);
  EXPECT_EQ(app.mails[2].displayName, "Lumatre.bmp");
  EXPECT_EQ(app.mails[2].bytes.substr(0, 2), "BM");
}

TEST_F(ImageDocumentTest, OperationsOnAPaletteImageAskTheTrueColourQuestion) {
  auto palette = std::make_unique<CDisplayBitmap>();
  palette->Create(3, 3, 8, false);
  palette->SetPixelIndex(1, 1, 200);
  CQuorvaCaptureDoc* doc = NewFromPending(std::move(palette));
  ASSERT_NE(doc, nullptr);

  boxes.clear();
  boxes.set_answer(IDNO);
  Command(ID_IMAGE_INVERT);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_NE(boxes.boxes()[0].text.find("Resize operation must use 24 bit"), std::string::npos);
  EXPECT_EQ(doc->image->GetBitsPerPixel(), 8);
  EXPECT_FALSE(doc->CanUndo());

  boxes.set_answer(IDYES);
  Command(ID_IMAGE_INVERT);
  EXPECT_EQ(doc->image->GetBitsPerPixel(), 32);
  EXPECT_EQ(RGBOf(*doc->image, 1, 1), 0x373737u);  // 255 - 200
  EXPECT_EQ(doc->GetUndoCount(), 1);                // the conversion is no undo step
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(doc->image->GetBitsPerPixel(), 32);     // back to the converted picture
  EXPECT_EQ(RGBOf(*doc->image, 1, 1), 0xC8C8C8u);
}

TEST_F(ImageDocumentTest, ClosingAModifiedDocumentAsksToSave) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(3, 3));
  ASSERT_NE(doc, nullptr);
  CMDIChildWnd* child = frame->MDIGetActive();
  ASSERT_NE(child, nullptr);
  int postsBefore = frame->tabBarPosts;

  boxes.clear();
  boxes.set_answer(IDCANCEL);
  child->SendMessage(WM_CLOSE);
  PumpMessages();
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Save changes to Luma1?");
  EXPECT_EQ(app.GetOpenDocumentCount(), 1);

  // Yes with a cancelled name prompt keeps it open too.
  boxes.set_answer(IDYES);
  manager->answer.clear();
  child->SendMessage(WM_CLOSE);
  PumpMessages();
  EXPECT_EQ(app.GetOpenDocumentCount(), 1);

  boxes.set_answer(IDNO);
  child->SendMessage(WM_CLOSE);
  PumpMessages();
  EXPECT_EQ(app.GetOpenDocumentCount(), 0);
  EXPECT_GT(frame->tabBarPosts, postsBefore);
}

TEST_F(ImageDocumentTest, BackupExistsOnlyBetweenMakeAndDrop) {
  CQuorvaCaptureDoc* doc = NewFromPending(MakePattern(5, 2));
  ASSERT_NE(doc, nullptr);
  doc->MakeBackup();
  ASSERT_NE(doc->backupImage, nullptr);
  EXPECT_EQ(doc->backupImage->GetWidth(), 5);
  EXPECT_EQ(RGBOf(*doc->backupImage, 4, 1), RGBOf(*doc->image, 4, 1));
  doc->DropBackup();
  EXPECT_EQ(doc->backupImage, nullptr);
}

}  // namespace
