a.add('café', '', 'ä');
