#include "upload/CSystemTradingDayUploadingDialog.h"

#include "upload/CTradeDateFileReader.h"
#include "widgets/CGridImage.h"
#include "widgets/CImage.h"
#include "widgets/CLoadingMaskWidget.h"
#include "widgets/CMessageBox.h"
#include "widgets/CSafeLineEdit.h"
#include "widgets/CSimpleTextWidget.h"
#include "widgets/CSmallNormalButton.h"
#include "widgets/CWidgetList.h"

#include <QFileDialog>
#include <QPainter>

namespace IMC {
namespace {

constexpr int buttonClicked = 5;
constexpr int standardButton = 1;
constexpr int anchorCenter = 1;
constexpr int anchorFill = 3;
constexpr int labelFlags = 0x182; // AlignRight | AlignVCenter | TextSingleLine

XP::CSmallNormalButton* makeButton(int id, const QString& text, int width, QWidget* row)
{
    auto* button = new XP::CSmallNormalButton(id, true, standardButton, row);
    button->setText(text);
    button->setFixedSize(width, 26);
    return button;
}

} // namespace

CSystemTradingDayUploadingDialog::CSystemTradingDayUploadingDialog(QWidget* parent)
    : XP::CCommonDialog(parent)
    , ruleImage(nullptr)
    , loadingMask(nullptr)
    , filePathEdit(nullptr)
    , showRule(0)
{
    setTitle(tr("上传文件"));
    setFixedSize(430, 170);
    buildControls();
    ruleImage = new XP::CImage(QStringLiteral("img_send_code_rule"));
    loadingMask = new XP::CLoadingMaskWidget(tr("正在上传数据..."), this);
    loadingMask->hide();
}

CSystemTradingDayUploadingDialog::~CSystemTradingDayUploadingDialog()
{
    delete ruleImage;
}

void CSystemTradingDayUploadingDialog::buildControls()
{
    auto* root = new XP::CWidgetList(Qt::Vertical, this);
    root->setSpacing(0);
    root->setMargin(10, 10, 20, 15);

    auto* fileRow = new XP::CWidgetList(Qt::Horizontal, root);
    fileRow->setFixedHeight(36);
    fileRow->setSpacing(0);
    fileRow->setMargin(5, 5, 0, 5);
    auto* label = new XP::CSimpleTextWidget(false, 0, QString(), fileRow);
    label->setText(tr("交易日数据文件: "), 100000);
    label->setFlag(labelFlags);
    label->setFixedWidth(120);
    fileRow->addFixedWidget(label, anchorFill, false);
    filePathEdit = new CSafeLineEdit(filePathEditId, fileRow);
    filePathEdit->setReadOnly(true);
    filePathEdit->setFixedSize(160, 26);
    fileRow->addFixedWidget(filePathEdit, anchorCenter, false);
    fileRow->addFixedWidget(makeButton(browseId, tr("浏览..."), 70, fileRow), anchorCenter, false);
    root->addFixedWidget(fileRow, anchorFill, false);

    root->addStretchSpace(1);

    auto* buttonRow = new XP::CWidgetList(Qt::Horizontal, root);
    buttonRow->setFixedHeight(36);
    buttonRow->setMargin(5, 5, 5, 5);
    buttonRow->addStretchSpace(1);
    buttonRow->addFixedWidget(makeButton(uploadId, tr("上传文件"), 80, buttonRow), anchorCenter, false);
    buttonRow->addFixedSpace(10);
    buttonRow->addFixedWidget(makeButton(closeDialogId, tr("关闭"), 60, buttonRow), anchorCenter, false);
    root->addFixedWidget(buttonRow, anchorFill, false);

    setInnerWidget(root);
}

bool CSystemTradingDayUploadingDialog::handleEvent(int type, int id, int param, QString text, void* data)
{
    if (type == buttonClicked) {
        switch (id) {
        case browseId:
            chooseFile();
            return true;
        case uploadId:
            upload();
            return true;
        case closeDialogId:
            done(1);
            return true;
        default:
            break;
        }
    }
    // The common dialog turns its frame's close control into a cancel and hands the rest to its base.
    return XP::CCommonDialog::handleEvent(type, id, param, text, data);
}

TradeDateMap CSystemTradingDayUploadingDialog::getTradeDateMap() const
{
    return tradeDateMap;
}

void CSystemTradingDayUploadingDialog::setShowRule(int value)
{
    showRule = value;
    update();
}

void CSystemTradingDayUploadingDialog::chooseFile()
{
    filePathEdit->setText(
        QFileDialog::getOpenFileName(nullptr, tr("选择文件"), QStringLiteral("."), tr("所有文件(*.*)")));
}

void CSystemTradingDayUploadingDialog::upload()
{
    if (filePathEdit->text().isEmpty()) {
        showNotice(tr("未选择文件"));
        return;
    }
    readTradeDateFile();
}

void CSystemTradingDayUploadingDialog::readTradeDateFile()
{
    CTradeDateLines lines;
    if (!CTradeDateFileReader::readLines(filePathEdit->text(), lines)) {
        showNotice(CTradeDateFileReader::openFailedText);
        return;
    }
    tradeDateMap.clear();
    const int badLine = CTradeDateFileReader::makeRecords(lines, tradeDateMap);
    if (badLine > 0) {
        showNotice(CTradeDateFileReader::lineFormatMessage(badLine));
        return;
    }
    deliverEvent(uploadedEventType, 0, 0, QString(), nullptr);
    close();
}

void CSystemTradingDayUploadingDialog::showNotice(const QString& text)
{
    XP::CMessageBox::information(this, tr("提示"), text, QMessageBox::Ok);
}

void CSystemTradingDayUploadingDialog::paintEvent(QPaintEvent* event)
{
    XP::CCommonDialog::paintEvent(event);
    if (showRule == 1) {
        QPainter painter(this);
        XP::CGridImage::drawImage(&painter, ruleImage, QRect(156, 97, 230, 170),
                                  QPen(QColor(219, 219, 219, 255)));
    }
}

} // namespace IMC
