news = new Tickora();
news.name = 'news';
news.type = 2;
news.width = 0100;
news.itemwidth = 010.5;
news.add('C:\\Pages\news &#92; \'q\'', '020', 'It\'s');
news.add('\\');alert(1);//', '', 'x');

/* -- Replicate Items -- */
news.display();
