// SPDX-License-Identifier: MIT
// Every text of the page in English and Chinese. The Chinese follows the
// phone's own words (lrc文件, 顺序, 退出, 隐藏). The language is the browser's
// (navigator.language) until a person picks the other one; what zqlrc itself
// reports stays in its own words, as the command line prints them.
'use strict';

const zqTexts = (() => {
  const texts = {
    en: {
      image: 'Image', open: 'Open a music folder', hint: 'or drop one here; F1: the key map',
      sound: 'Click the phone or press a key for sound.', noTracks: '{0}: no MP3 or M4A track in this folder',
      cannotRead: 'cannot read {0}; the player will not find it', cannotPlay: 'cannot play {0}: the browser cannot decode it',
      cannotDrop: 'cannot read the dropped folder: {0}', failed: 'the page failed: {0}', theFolder: 'the folder',
      theDemo: 'the demo', language: '中文', lyricsTitle: 'Lyrics of {0}: what the phone shows, track by track',
      track: 'Track', file: 'lrc file', verdict: 'What the phone shows (zqlrc scan)', noFile: 'none',
      kindShows: 'shows as written', kindMends: 'fix mends it', kindNoFile: 'no lrc file', kindOther: 'other problems',
      to: 'Write as', toKeep: 'what the phone reads (keep or UTF-8)', joinSameTime: 'join lines of the same time', fixOne: 'download the fixed file', fixAll: 'All fixed lyrics (ZIP)',
      checkOf: 'zqlrc check of {0}', clickPlays: 'Click a track to play it on the phone; nothing leaves this computer.',
      summary: '{0} tracks: {1} show as written, {2} that fix mends, {3} without an lrc file, {4} with other problems',
      zipNote: 'The folder mobile/audio/lrc/ of this ZIP goes onto the phone as it is: copy it into the phone\'s ' +
        'memory card, so that the files lie in mobile/audio/lrc/ beside the tracks in mobile/audio/. ' +
        'Each file holds the bytes "{0}" writes for it.',
      zipNotWritten: 'Not in this ZIP (zqlrc fix wrote nothing for them):', zipNone: 'Every lyrics file is in it.',
      nothingToFix: 'No lyrics file to fix in this folder.',
      browserRow: 'read with the browser\'s {0} decoder: rare characters may differ from zqlrc\'s on a PC',
      zipBrowser: 'Read with the browser\'s decoder, which may differ from zqlrc\'s on a PC in rare characters ' +
        '(compare with "zqlrc fix" there if one shows wrong):',
    },
    zh: {
      image: '程序版本', open: '打开音乐文件夹', hint: '或把文件夹拖到这里；F1：按键说明',
      sound: '点击手机或按任意键即可听到声音。', noTracks: '{0}：这个文件夹里没有 MP3 或 M4A 歌曲',
      cannotRead: '无法读取 {0}；播放器找不到它', cannotPlay: '无法播放 {0}：浏览器不能解码这首歌',
      cannotDrop: '无法读取拖入的文件夹：{0}', failed: '页面出错：{0}', theFolder: '所选文件夹',
      theDemo: '演示', language: 'English', lyricsTitle: '{0}：每首歌在手机上显示的歌词',
      track: '歌曲', file: 'lrc文件', verdict: '手机上的显示（zqlrc scan）', noFile: '无',
      kindShows: '显示正常', kindMends: '修复后正常', kindNoFile: 'lrc文件不存在', kindOther: '其他问题',
      to: '保存编码', toKeep: '手机能读的（原样或 UTF-8）', joinSameTime: '合并同一时间的歌词行', fixOne: '下载修复后的文件', fixAll: '下载全部修复后的歌词（ZIP）',
      checkOf: '{0} 的 zqlrc check 结果', clickPlays: '点击一首歌即可在手机上播放；所有文件都不会离开这台电脑。',
      summary: '共 {0} 首：{1} 首显示正常，{2} 首修复后正常，{3} 首没有lrc文件，{4} 首有其他问题',
      zipNote: '把这个 ZIP 里的 mobile/audio/lrc/ 文件夹原样复制到手机的存储卡上，' +
        '使歌词文件位于 mobile/audio/lrc/，歌曲位于 mobile/audio/。' +
        '每个文件的内容与 "{0}" 为它写出的完全相同。',
      zipNotWritten: '以下文件不在 ZIP 中（zqlrc fix 没有为它们写出文件）：', zipNone: '所有歌词文件都在其中。',
      nothingToFix: '这个文件夹里没有需要修复的歌词文件。',
      browserRow: '由浏览器的 {0} 解码器读取：个别生僻字可能与电脑上 zqlrc 的结果不同',
      zipBrowser: '以下文件由浏览器的解码器读取，个别生僻字可能与电脑上 zqlrc 的结果不同' +
        '（如有显示不对的字，请在电脑上用 "zqlrc fix" 对比）：',
    },
  };
  let lang = /^zh/i.test(navigator.language || '') ? 'zh' : 'en';
  const listeners = [];
  const t = (key, ...args) => (texts[lang][key] || texts.en[key] || key).replace(/\{(\d)\}/g, (m, i) => String(args[i]));
  const set = (l) => {
    lang = l;
    document.documentElement.lang = l === 'zh' ? 'zh-CN' : 'en';
    for (const f of listeners) f();
  };
  return {t, set, get lang() { return lang; }, onChange: (f) => listeners.push(f), texts};
})();
